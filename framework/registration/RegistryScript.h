#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace Fw {

// A parsed registry script (.rgs): nested keys under a root, each with an optional default
// string, named string values (`val`) and a flag. The whole script is parsed before
// anything is written, so a malformed script changes nothing.
class RegistryScript {
public:
    enum class Flag { None, NoRemove, ForceRemove };

    struct Key {
        std::string name;
        Flag flag = Flag::None;
        bool hasDefault = false;
        std::string defaultValue;
        std::vector<std::pair<std::string, std::string>> values;
        std::vector<Key> keys;
    };

    struct Root {
        std::string name;
        std::vector<Key> keys;
    };

    // Replaceable parameters by name, without the percent signs; names match ignoring case.
    using Variables = std::map<std::string, std::string>;
    // Gives the open key for a root name such as "HKCR", or null for an unknown root.
    using RootResolver = std::function<HKEY(const std::string& rootName)>;

    // Throws Lang::Exception naming the line on a malformed script or an unknown parameter.
    static RegistryScript Parse(std::string_view text, const Variables& variables);
    static HKEY StandardRoot(const std::string& rootName);

    const std::vector<Root>& Roots() const { return m_roots; }

    // Both walk every root; the first failed registry call stops the walk and is returned.
    HRESULT Register(const RootResolver& resolve = StandardRoot) const;
    HRESULT Unregister(const RootResolver& resolve = StandardRoot) const;

private:
    std::vector<Root> m_roots;
};

} // namespace Fw
