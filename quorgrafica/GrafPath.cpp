#include "quorgrafica/GrafPath.h"

#include "quorgrafica/Clsgraf.h"

namespace quorgrafica {

clsGraf* GrafAtPath(clsGraf* root, const std::string& path, std::string* missing) {
    clsGraf* graf = root;
    std::size_t start = 0;
    while (graf && start < path.size()) {
        const std::size_t slash = path.find('/', start);
        const std::string name =
            path.substr(start, slash == std::string::npos ? slash : slash - start);
        auto* group = dynamic_cast<clsBoxGroup*>(graf->GetBox(name.c_str()));
        if (!group || !group->Graf) {
            if (missing) *missing = name;
            return nullptr;
        }
        graf = group->Graf;
        start = slash == std::string::npos ? path.size() : slash + 1;
    }
    return graf;
}

} // namespace quorgrafica
