// Any values in a user's options key: the pass over them never reads outside a value, and either
// finishes or stops with RegistryError. Input: records of a name byte (an option of the table, its
// icon 2 or alternate-set name, or a set selector), a type byte, a length byte and the data.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "config/UserOptionDefinitions.h"
#include "platform/RegistryKey.h"

namespace {

// One key whose values come from the input; names compare as the fuzzer wrote them.
class FuzzRegistry final : public kxp::platform::Registry {
  public:
    struct Value {
        std::uint32_t type;
        std::vector<std::uint8_t> data;
    };
    std::map<std::string, Value> values;

    kxp::platform::Handle OpenKey(kxp::platform::RegistryRoot, const std::string&, bool,
                                  bool) override {
        return 1;
    }
    void CloseKey(kxp::platform::Handle) override {}
    bool QueryValue(kxp::platform::Handle, const std::string& name, std::uint32_t& type,
                    std::vector<std::uint8_t>& data) override {
        const auto found = values.find(name);
        if (found == values.end()) return false;
        type = found->second.type;
        data = found->second.data;
        return true;
    }
    bool SetValue(kxp::platform::Handle, const std::string&, std::uint32_t,
                  const std::vector<std::uint8_t>&) override {
        return false;
    }
    bool DeleteValue(kxp::platform::Handle, const std::string&) override { return false; }
    std::uint32_t QueryPerformanceData(const std::string&, std::uint8_t*, std::uint32_t&) override {
        return 1;
    }
};

std::vector<std::string> Names() {
    std::vector<std::string> names{"Alternate", "t2_Alternate", "Version"};
    for (const auto& option : kxp::UserOptionDefinitions()) {
        for (const char* prefix : {"", "t2_"}) {
            for (const char* suffix : {"", "_2"}) {
                names.push_back(kxp::UserValueName(option, prefix, suffix));
            }
        }
    }
    return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::vector<std::string> names = Names();
    FuzzRegistry registry;
    std::size_t at = 0;
    while (at + 3 <= size) {
        const std::string& name = names[data[at] % names.size()];
        const std::uint32_t type = data[at + 1] % 5;
        const std::size_t length = std::min<std::size_t>(data[at + 2], size - at - 3);
        registry.values[name] = {type,
                                 std::vector<std::uint8_t>(data + at + 3, data + at + 3 + length)};
        at += 3 + length;
    }
    const auto key =
        kxp::RegistryKey::OpenRead(registry, kxp::platform::RegistryRoot::Users, "\\S-1\\Key");
    std::int32_t version = 0;
    for (int icon : {1, 2}) {
        kxp::TConfig config;
        kxp::SetUserDefaults(config, icon);
        try {
            kxp::ReadUserOptionPass(key, icon, config, version, [](bool) {});
        } catch (const kxp::RegistryError&) {
        }
    }
    return 0;
}
