#include "tests/tools/scripts/ScriptPrograms.h"

#include <algorithm>
#include <cctype>

namespace scripts {
namespace {

const std::set<std::string, std::less<>> kBuiltins = {
    ".", ":", "[", "alias", "bg", "bind", "break", "builtin", "caller", "cd", "command",
    "compgen", "complete", "continue", "declare", "dirs", "disown", "echo", "enable", "eval",
    "exec", "exit", "export", "false", "fc", "fg", "getopts", "hash", "help", "history", "jobs",
    "kill", "let", "local", "logout", "mapfile", "popd", "printf", "pushd", "pwd", "read",
    "readarray", "readonly", "return", "set", "shift", "shopt", "source", "suspend", "test",
    "times", "trap", "true", "type", "typeset", "ulimit", "umask", "unalias", "unset", "wait"};

// Words that open or continue a compound command: the next word is a command.
const std::set<std::string, std::less<>> kLeadKeywords = {
    "if", "then", "else", "elif", "while", "until", "do", "!", "time", "{", "}", "fi", "done"};

struct Token {
    enum Kind { Word, Op, Redir } kind = Word;
    std::string text;                  // a word without its quotes; an operator
    std::vector<std::string> elements; // NAME=( ... ): the array's words
    bool array = false;
    bool quotedVar = false; // began with $: a variable or a substitution
    int line = 0;
};

struct Substitution {
    std::string text;
    int line;
};

class Lexer {
public:
    Lexer(std::string_view text, int firstLine) : s_(text), line_(firstLine) {}

    std::vector<Token> tokens;
    std::vector<Substitution> substitutions;

    void Run() {
        while (i_ < s_.size()) {
            const char c = s_[i_];
            if (c == ' ' || c == '\t' || c == '\r') {
                ++i_;
            } else if (c == '\\' && i_ + 1 < s_.size() && s_[i_ + 1] == '\n') {
                i_ += 2;
                ++line_;
            } else if (c == '#') {
                while (i_ < s_.size() && s_[i_] != '\n') ++i_;
            } else if (c == '\n') {
                Push(Token::Op, "\n");
                ++i_;
                ++line_;
                SkipHereDocuments();
            } else if (IsOperatorStart(c) || IsRedirectionAhead()) {
                ReadOperator();
            } else {
                ReadWord();
            }
        }
    }

private:
    std::string_view s_;
    std::size_t i_ = 0;
    int line_;
    std::vector<std::pair<std::string, bool>> hereDocs_; // terminator, leading tabs stripped
    bool wantHereTerminator_ = false;
    bool stripTabs_ = false;

    void Push(Token::Kind kind, std::string text) {
        Token t;
        t.kind = kind;
        t.text = std::move(text);
        t.line = line_;
        tokens.push_back(std::move(t));
    }

    static bool IsOperatorStart(char c) {
        return c == ';' || c == '&' || c == '|' || c == '(' || c == ')' || c == '<' || c == '>';
    }

    // "2>&1", "3>": a file descriptor's number glued to a redirection.
    bool IsRedirectionAhead() const {
        std::size_t j = i_;
        while (j < s_.size() && std::isdigit(static_cast<unsigned char>(s_[j]))) ++j;
        return j > i_ && j < s_.size() && (s_[j] == '<' || s_[j] == '>');
    }

    void ReadOperator() {
        std::size_t j = i_;
        while (j < s_.size() && std::isdigit(static_cast<unsigned char>(s_[j]))) ++j;
        const std::string_view rest = s_.substr(j);
        static const char* const kOps[] = {"<<<", "<<-", "&>>", ";;", "&&", "||", "|&", ">>",
                                           ">&",  "<&",  "&>",  "<<", ">|", ";",  "&",  "|",
                                           "(",   ")",   "<",   ">"};
        for (const char* op : kOps) {
            const std::string_view o(op);
            if (rest.substr(0, o.size()) == o) {
                const bool redirection = o.find_first_of("<>") != std::string_view::npos;
                Push(redirection ? Token::Redir : Token::Op, std::string(o));
                i_ = j + o.size();
                if (o == "<<" || o == "<<-") {
                    wantHereTerminator_ = true;
                    stripTabs_ = o == "<<-";
                }
                return;
            }
        }
        ++i_; // not reached: every start character is an operator
    }

    // Reads from s_[i_] up to the ')' closing a "$(" or "(", past quotes and nesting.
    std::string ReadBalanced() {
        int depth = 1;
        const std::size_t start = i_;
        while (i_ < s_.size()) {
            const char c = s_[i_];
            if (c == '\\') {
                i_ += 2;
                continue;
            }
            if (c == '\'' || c == '"') {
                const char q = c;
                ++i_;
                while (i_ < s_.size() && s_[i_] != q) {
                    if (q == '"' && s_[i_] == '\\') ++i_;
                    if (i_ < s_.size() && s_[i_] == '\n') ++line_;
                    ++i_;
                }
            } else if (c == '(') {
                ++depth;
            } else if (c == ')') {
                if (--depth == 0) {
                    std::string inner(s_.substr(start, i_ - start));
                    ++i_;
                    return inner;
                }
            } else if (c == '\n') {
                ++line_;
            }
            ++i_;
        }
        return std::string(s_.substr(start));
    }

    // "$...": a substitution goes to the list to be read as commands of its own.
    void ReadDollar(std::string& word) {
        const std::size_t next = i_ + 1;
        if (s_.substr(next, 2) == "((") { // arithmetic: no commands
            i_ = next + 2;
            ReadBalanced();
            if (i_ < s_.size() && s_[i_] == ')') ++i_;
            word += "$";
        } else if (next < s_.size() && s_[next] == '(') {
            const int line = line_;
            i_ = next + 1;
            substitutions.push_back({ReadBalanced(), line});
            word += "$";
        } else if (next < s_.size() && s_[next] == '{') {
            const std::size_t close = s_.find('}', next);
            const std::size_t end = close == std::string_view::npos ? s_.size() : close + 1;
            word += s_.substr(i_, end - i_);
            i_ = end;
        } else {
            word += '$';
            ++i_;
        }
    }

    void ReadBackquote(std::string& word) {
        const std::size_t close = s_.find('`', i_ + 1);
        const std::size_t end = close == std::string_view::npos ? s_.size() : close;
        substitutions.push_back({std::string(s_.substr(i_ + 1, end - i_ - 1)), line_});
        i_ = std::min(end + 1, s_.size());
        word += "$";
    }

    void ReadWord() {
        std::string word;
        const int line = line_;
        bool startsWithDollar = s_[i_] == '$' || (s_[i_] == '"' && i_ + 1 < s_.size() && s_[i_ + 1] == '$');
        while (i_ < s_.size()) {
            const char c = s_[i_];
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == ';' || c == '&' || c == '|' ||
                c == '<' || c == '>' || c == ')') {
                break;
            }
            if (c == '(') {
                if (!word.empty() && word.back() == '=') { // NAME=( ... )
                    ++i_;
                    const int arrayLine = line_;
                    const std::string inner = ReadBalanced();
                    Lexer elements(inner, arrayLine);
                    elements.Run();
                    Token t;
                    t.kind = Token::Word;
                    t.text = word;
                    t.array = true;
                    t.line = line;
                    for (const Token& e : elements.tokens) {
                        if (e.kind == Token::Word) t.elements.push_back(e.text);
                    }
                    for (auto& sub : elements.substitutions) substitutions.push_back(sub);
                    tokens.push_back(std::move(t));
                    return;
                }
                break;
            }
            if (c == '\\') {
                if (i_ + 1 < s_.size()) word += s_[i_ + 1];
                i_ += 2;
            } else if (c == '\'') {
                const std::size_t close = s_.find('\'', i_ + 1);
                const std::size_t end = close == std::string_view::npos ? s_.size() : close;
                const std::string_view inner = s_.substr(i_ + 1, end - i_ - 1);
                line_ += static_cast<int>(std::count(inner.begin(), inner.end(), '\n'));
                word += inner;
                i_ = std::min(end + 1, s_.size());
            } else if (c == '"') {
                ++i_;
                while (i_ < s_.size() && s_[i_] != '"') {
                    if (s_[i_] == '\\' && i_ + 1 < s_.size()) {
                        word += s_[i_ + 1];
                        i_ += 2;
                    } else if (s_[i_] == '$') {
                        ReadDollar(word);
                    } else if (s_[i_] == '`') {
                        ReadBackquote(word);
                    } else {
                        if (s_[i_] == '\n') ++line_;
                        word += s_[i_++];
                    }
                }
                ++i_;
            } else if (c == '$') {
                ReadDollar(word);
            } else if (c == '`') {
                ReadBackquote(word);
            } else {
                word += c;
                ++i_;
            }
        }
        Token t;
        t.kind = Token::Word;
        t.text = std::move(word);
        t.quotedVar = startsWithDollar;
        t.line = line;
        if (wantHereTerminator_) {
            hereDocs_.emplace_back(t.text, stripTabs_);
            wantHereTerminator_ = false;
        }
        tokens.push_back(std::move(t));
    }

    void SkipHereDocuments() {
        for (const auto& [terminator, stripTabs] : hereDocs_) {
            while (i_ < s_.size()) {
                std::size_t end = s_.find('\n', i_);
                if (end == std::string_view::npos) end = s_.size();
                std::string_view lineText = s_.substr(i_, end - i_);
                if (stripTabs) {
                    while (!lineText.empty() && lineText.front() == '\t') lineText.remove_prefix(1);
                }
                i_ = std::min(end + 1, s_.size());
                ++line_;
                if (lineText == terminator) break;
            }
        }
        hereDocs_.clear();
    }
};

bool IsAssignment(const Token& t) {
    if (t.kind != Token::Word || t.quotedVar) return false;
    const std::size_t eq = t.text.find('=');
    if (eq == std::string::npos || eq == 0) return false;
    std::size_t nameEnd = eq;
    if (t.text[eq - 1] == '+') --nameEnd;
    if (nameEnd == 0 || std::isdigit(static_cast<unsigned char>(t.text[0]))) return false;
    return std::all_of(t.text.begin(), t.text.begin() + static_cast<long>(nameEnd),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
}

bool IsSeparator(const Token& t) {
    return t.kind == Token::Op && t.text != "(" && t.text != ")";
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// "$sudo", "${sudo}": a variable that holds a command prefix.
bool IsPrefixVariable(const Token& t) {
    return t.quotedVar && (t.text == "$sudo" || t.text == "${sudo}");
}

bool EndsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

class Parser {
public:
    explicit Parser(const std::vector<Token>& tokens) : t_(tokens) {}

    ScriptScan scan;
    std::set<std::string> functions;

    void Run() {
        while (k_ < t_.size()) Command();
    }

private:
    const std::vector<Token>& t_;
    std::size_t k_ = 0;
    int caseDepth_ = 0;
    bool expectPattern_ = false;

    bool AtEnd() const { return k_ >= t_.size(); }

    void SkipToSeparator() {
        while (!AtEnd() && !IsSeparator(t_[k_])) ++k_;
    }

    void Record(const Token& word) {
        const std::string& name = word.text;
        if (word.quotedVar || name.empty() || name.find('/') != std::string::npos ||
            name.find('$') != std::string::npos || name.find('=') != std::string::npos) {
            return;
        }
        if (kBuiltins.count(name) || kLeadKeywords.count(name)) return;
        scan.calls.push_back({name, word.line});
    }

    void AddInstalls(const std::vector<std::string>& words) {
        for (const std::string& w : words) {
            if (!w.empty() && w[0] != '-' && w.find('$') == std::string::npos &&
                w.find('/') == std::string::npos) {
                scan.installs.insert(w);
            }
        }
    }

    // A case pattern: words up to ')'.
    void Pattern() {
        while (!AtEnd() && !(t_[k_].kind == Token::Op && t_[k_].text == ")")) {
            if (t_[k_].kind == Token::Word && t_[k_].text == "esac") return;
            ++k_;
        }
        if (!AtEnd()) ++k_;
        expectPattern_ = false;
    }

    void Command() {
        // Separators, subshells and assignments before the command word.
        while (!AtEnd()) {
            const Token& t = t_[k_];
            if (t.kind == Token::Op) {
                if (t.text == ";;" && caseDepth_ > 0) expectPattern_ = true;
                ++k_;
            } else if (t.kind == Token::Redir) {
                k_ += 2;
            } else if (IsAssignment(t)) {
                if (t.array && Lower(t.text).find("package") != std::string::npos) AddInstalls(t.elements);
                ++k_;
            } else if (expectPattern_ && t.text != "esac") {
                Pattern();
            } else {
                break;
            }
        }
        if (AtEnd()) return;
        const Token& word = t_[k_++];
        const std::string& name = word.text;

        if (!word.quotedVar && k_ + 1 < t_.size() && t_[k_].kind == Token::Op && t_[k_].text == "(" &&
            t_[k_ + 1].kind == Token::Op && t_[k_ + 1].text == ")") {
            functions.insert(name); // NAME() { ... }
            k_ += 2;
            return;
        }
        if (name == "function" && !AtEnd()) {
            functions.insert(t_[k_++].text);
            return;
        }
        if (kLeadKeywords.count(name)) return;
        if (name == "for" || name == "select") {
            SkipToSeparator();
            return;
        }
        if (name == "case") {
            while (!AtEnd() && !(t_[k_].kind == Token::Word && t_[k_].text == "in")) ++k_;
            if (!AtEnd()) ++k_;
            ++caseDepth_;
            expectPattern_ = true;
            return;
        }
        if (name == "esac") {
            if (caseDepth_ > 0) --caseDepth_;
            expectPattern_ = false;
            return;
        }
        if (name == "[[") {
            while (!AtEnd() && t_[k_].text != "]]") ++k_;
            if (!AtEnd()) ++k_;
            return;
        }
        if (name == "trap") { // its first argument is a command line of its own
            if (!AtEnd() && t_[k_].kind == Token::Word && t_[k_].text != "-") Nested(t_[k_].text, t_[k_].line);
            SkipToSeparator();
            return;
        }
        if (name == "command") {
            if (!AtEnd() && t_[k_].kind == Token::Word && t_[k_].text.rfind("-v", 0) != 0 &&
                t_[k_].text.rfind("-V", 0) != 0) {
                CommandAfterPrefix();
                return;
            }
            SkipToSeparator();
            return;
        }
        // quietly (tools/steps.sh) runs its arguments as a command.
        if (name == "exec" || name == "nohup" || name == "time" || name == "quietly" ||
            IsPrefixVariable(word)) {
            CommandAfterPrefix();
            return;
        }
        if (name == "sudo" || name == "env" || name == "nice" || name == "timeout" ||
            name == "runuser" || name == "xvfb-run") {
            Record(word);
            SkipPrefixOptions(name);
            CommandAfterPrefix();
            return;
        }
        Record(word);
        Arguments(word);
    }

    // exec 3>&- is a redirection, not a program; otherwise the next word runs.
    void CommandAfterPrefix() {
        while (!AtEnd() && (t_[k_].kind == Token::Redir || IsAssignment(t_[k_]))) {
            k_ += t_[k_].kind == Token::Redir ? 2 : 1;
        }
        if (AtEnd() || IsSeparator(t_[k_])) return;
        Command();
    }

    void SkipPrefixOptions(const std::string& prefix) {
        // Options that take a value of their own.
        static const std::set<std::string, std::less<>> kWithValue = {
            "-u", "-g", "-n", "-s", "-f", "-e", "-p", "-w", "-C", "-k", "--user", "--group",
            "--signal", "--kill-after", "--server-args", "--server-num", "--auth-file",
            "--error-file", "--auth-protocol", "--wait"};
        if (prefix == "runuser") { // runuser -u USER -- COMMAND
            while (!AtEnd() && !IsSeparator(t_[k_]) && t_[k_].text != "--") ++k_;
            if (!AtEnd() && t_[k_].text == "--") ++k_;
            return;
        }
        while (!AtEnd() && t_[k_].kind == Token::Word && !t_[k_].quotedVar) {
            const std::string& w = t_[k_].text;
            if (w == "--") {
                ++k_;
                return;
            }
            if (w.size() > 1 && w[0] == '-') {
                ++k_;
                if (kWithValue.count(w) && w.find('=') == std::string::npos) ++k_;
            } else if (prefix == "timeout" && std::isdigit(static_cast<unsigned char>(w[0]))) {
                ++k_; // the duration
            } else if (prefix == "env" && IsAssignment(t_[k_])) {
                ++k_;
            } else {
                return;
            }
        }
    }

    void Arguments(const Token& word) {
        std::vector<std::string> args;
        while (!AtEnd() && !IsSeparator(t_[k_])) {
            const Token& t = t_[k_];
            if (t.kind == Token::Redir) {
                k_ += 2;
                continue;
            }
            if (t.kind == Token::Word) args.push_back(t.text);
            ++k_;
        }
        if (EndsWith(word.text, "install-deps.sh")) {
            AddInstalls(args);
        } else if ((word.text == "apt-get" || word.text == "apt") &&
                   std::find(args.begin(), args.end(), "install") != args.end()) {
            const auto from = std::find(args.begin(), args.end(), "install") + 1;
            AddInstalls(std::vector<std::string>(from, args.end()));
        }
    }

    void Nested(const std::string& text, int line) {
        ScriptScan inner = ScanScript(text);
        for (ProgramCall& c : inner.calls) {
            c.line += line - 1;
            scan.calls.push_back(c);
        }
        scan.installs.insert(inner.installs.begin(), inner.installs.end());
    }

};

ScriptScan ScanFrom(std::string_view text, int firstLine, std::set<std::string>& functions) {
    Lexer lexer(text, firstLine);
    lexer.Run();
    Parser parser(lexer.tokens);
    parser.Run();
    functions.insert(parser.functions.begin(), parser.functions.end());
    ScriptScan scan = std::move(parser.scan);
    for (const Substitution& sub : lexer.substitutions) {
        ScriptScan inner = ScanFrom(sub.text, sub.line, functions);
        scan.calls.insert(scan.calls.end(), inner.calls.begin(), inner.calls.end());
        scan.installs.insert(inner.installs.begin(), inner.installs.end());
    }
    return scan;
}

} // namespace

ScriptScan ScanScript(std::string_view text) {
    std::set<std::string> functions;
    ScriptScan scan = ScanFrom(text, 1, functions);
    // A function runs the script's own code, wherever it is defined.
    std::erase_if(scan.calls, [&](const ProgramCall& c) { return functions.count(c.program) > 0; });
    scan.functions = std::move(functions);
    std::sort(scan.calls.begin(), scan.calls.end(),
              [](const ProgramCall& a, const ProgramCall& b) { return a.line < b.line; });
    return scan;
}

} // namespace scripts
