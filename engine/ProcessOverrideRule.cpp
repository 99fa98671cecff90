#include "engine/ProcessOverrideRule.h"

#include <array>
#include <string_view>

#include "platform/system/winbase.h"

namespace {

struct PriorityName {
    DWORD priorityClass;
    std::string_view name;
};

constexpr std::array<PriorityName, 6> kPriorityNames{{
    {IDLE_PRIORITY_CLASS, "Low"},
    {BELOW_NORMAL_PRIORITY_CLASS, "Below Normal"},
    {NORMAL_PRIORITY_CLASS, "Normal"},
    {ABOVE_NORMAL_PRIORITY_CLASS, "Above Normal"},
    {HIGH_PRIORITY_CLASS, "High"},
    {REALTIME_PRIORITY_CLASS, "Realtime"},
}};

struct Directive {
    std::string_view word;
    ProcessOverrideRule::Action action;
    DWORD priorityClass;
};

constexpr std::array<Directive, 8> kLegacyDirectives{{
    {"IGNORE", ProcessOverrideRule::Ignore, 0},
    {"HIGH", ProcessOverrideRule::ForceClass, HIGH_PRIORITY_CLASS},
    {"IDLE", ProcessOverrideRule::ForceClass, IDLE_PRIORITY_CLASS},
    {"KILL", ProcessOverrideRule::Kill, 0},
    {"NORMAL", ProcessOverrideRule::ForceClass, NORMAL_PRIORITY_CLASS},
    {"BELOWNORMAL", ProcessOverrideRule::ForceClass, BELOW_NORMAL_PRIORITY_CLASS},
    {"ABOVENORMAL", ProcessOverrideRule::ForceClass, ABOVE_NORMAL_PRIORITY_CLASS},
    {"REALTIME", ProcessOverrideRule::ForceClass, REALTIME_PRIORITY_CLASS},
}};

constexpr std::string_view kForcePrefix = "Force ";

} // namespace

std::string PriorityDisplayName(DWORD priorityClass)
{
    if (priorityClass == 0)
        return {};
    for (const auto& p : kPriorityNames)
        if (p.priorityClass == priorityClass)
            return std::string(p.name);
    return "Unknown";
}

DWORD PriorityClassFromDisplayName(const std::string& name)
{
    for (const auto& p : kPriorityNames)
        if (p.name == name)
            return p.priorityClass;
    return 0;
}

bool ProcessOverrideRule::Set(const std::string& name, const std::string& text)
{
    Name = name;
    RuleAction = Ignore;
    PriorityClass = 0;
    if (text == "Ignore")
        return true;
    if (text == "Force Kill") {
        RuleAction = Kill;
        return true;
    }
    if (text.starts_with(kForcePrefix)) {
        const DWORD cls = PriorityClassFromDisplayName(text.substr(kForcePrefix.size()));
        if (cls != 0) {
            RuleAction = ForceClass;
            PriorityClass = cls;
            return true;
        }
    }
    return false;
}

std::string ProcessOverrideRule::Text() const
{
    switch (RuleAction) {
    case ForceClass:
        return std::string(kForcePrefix) + PriorityDisplayName(PriorityClass);
    case Kill:
        return "Force Kill";
    case Restart:
        return "Force Restart";
    case Ignore:
        return "Ignore";
    }
    return "Unknown";
}

void ProcessOverrideRule::TrimBlanks(std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        text.clear();
        return;
    }
    const auto last = text.find_last_not_of(" \t");
    text = text.substr(first, last - first + 1);
}

void ProcessOverrideRule::SplitAtSeparator(std::string& source, std::string& left, char separator)
{
    bool quoted = false;
    for (std::size_t i = 0; i < source.size(); ++i) {
        if (source[i] == '"') {
            quoted = !quoted;
        } else if (source[i] == separator && !quoted) {
            left = source.substr(0, i);
            source = source.substr(i + 1);
            TrimBlanks(left);
            TrimBlanks(source);
            return;
        }
    }
    left = source;
    TrimBlanks(left);
    source.clear();
}

bool ProcessOverrideRule::ParseOverridesLine(std::string line)
{
    std::string name;
    SplitAtSeparator(line, name, '|');
    Name = name;
    RuleAction = Ignore;
    PriorityClass = 0;
    for (const auto& d : kLegacyDirectives) {
        if (d.word == line) {
            RuleAction = d.action;
            PriorityClass = d.priorityClass;
            return true;
        }
    }
    return false;
}
