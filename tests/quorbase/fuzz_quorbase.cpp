// libFuzzer entry: drives the string, list and block operations with the
// fuzzer's bytes; the sanitizers report any stray access.
#include "quorbase/clsCollection.h"
#include "quorbase/clsConfig.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

using namespace quorbase;

namespace {

int ReadInt(const std::uint8_t*& data, std::size_t& size) {
    int value = 0;
    const std::size_t n = size < sizeof value ? size : sizeof value;
    std::memcpy(&value, data, n);
    data += n;
    size -= n;
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const char sep = static_cast<char>(data[0]);
    const char q = static_cast<char>(data[1]);
    const int mode = data[2] % 4;
    data += 3;
    size -= 3;
    const int a = ReadInt(data, size);
    const int b = ReadInt(data, size);

    // NUL bytes end the text, as they would for any C text handed in.
    const std::string text(reinterpret_cast<const char*>(data), size);
    clsString s(text.c_str());

    for (int pos = 0; pos >= 0;)
        s.Token(sep, pos);
    int pos = a;
    s.Token(sep, pos);
    s.ToDouble(1.0);
    s.Quote(q);
    s.Mid(a, b);
    s.CharAt(a);
    s.CompareAt(a, text.c_str());

    clsStrings list;
    list.Split(s, sep, mode, (a & 1) != 0, (a & 2) != 0);
    list.JoinValues(clsString(q), true);
    list.Move(a, b);
    list.RemoveAt(b, (a & 4) != 0, false);
    list.AddPair(s.Mid(0, 3), s, (b & 1) != 0, (b & 2) != 0);

    clsConfig config;
    for (int i = 0; i < list.GetCount(); ++i)
        Add(config, list.GetValueText(i));
    for (int at = 0; at < config.GetCount();) {
        std::unique_ptr<clsConfig> block(config.ExtractBlock(at));
        at += block->GetCount() > 0 ? block->GetCount() : 1;
    }
    std::unique_ptr<clsConfig> block(config.ExtractBlock(a));

    clsString edited(s);
    // A count must not promise more characters than the source holds.
    const int count = b % 64;
    edited.Append(s.CStr(), count > s.Length() ? s.Length() : count);
    edited.SetChar(a, q);
    edited.Trim(sep);
    edited.DeleteFirst(b);
    edited.Fill(q, a % 64);
    return 0;
}
