// The rule strings of the settings file and the legacy overrides file. The
// first byte picks the reader; the rules read are then written as rule
// strings and looked up, as the configurator does.

#include "engine/ProcessWatcher.h"
#include "tests/fuzz/harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static ProcessWatcher watcher;
    static const quelvo::fuzz::ScratchFile overrides("ApplicationOverrides.txt");
    watcher.EnforceRules = false;
    watcher.DeleteAllRules();
    if (size == 0) return 0;
    const std::string_view text = quelvo::fuzz::Text(data + 1, size - 1);
    if (data[0] & 1) {
        if (!overrides.Write(text)) return 0;
        watcher.ReadOverridesFile(overrides.Path());
    } else {
        watcher.ParseRuleStrings(std::string(text));
    }
    std::string strings;
    watcher.BuildRuleStrings(strings);
    for (const auto& rule : watcher.Rules()) {
        ProcessWatcher::RuleText(rule.get());
        watcher.FindRule(rule->Name);
    }
    watcher.DeleteAllRules();
    watcher.ParseRuleStrings(strings);
    return 0;
}
