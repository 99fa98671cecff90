#pragma once
// One explicit per-program rule, and the vocabulary of priority classes and
// rule texts shared by the rule list, the settings file and the programs.

#include <string>

#include "platform/system/wintypes.h"

// The display name of a priority class: "" for 0, "Unknown" for any value
// that is not one of the six classes.
std::string PriorityDisplayName(DWORD priorityClass);
// The class of a display name (exact, case-sensitive); 0 for any other text.
DWORD PriorityClassFromDisplayName(const std::string& name);

class ProcessOverrideRule {
public:
    enum Action : DWORD {
        ForceClass = 0,
        Kill = 1,
        Restart = 2,  // never created by any parser; named for completeness
        Ignore = 3,
    };

    std::string Name;        // executable base name, matched exactly
    DWORD PriorityClass = 0; // meaningful for ForceClass only
    Action RuleAction = Ignore;

    // Name := name; a rule text ("Ignore", "Force Low", ..., "Force Kill")
    // sets action and class and gives true; any other text makes an ignore
    // rule and gives false.
    bool Set(const std::string& name, const std::string& text);

    // The rule text of this rule ("Force " + class name, "Force Kill",
    // "Ignore", "Force Restart"; "Unknown" for an action out of range).
    std::string Text() const;

    // One line of the legacy rules file: name "|" directive (IGNORE, HIGH,
    // IDLE, KILL, NORMAL, BELOWNORMAL, ABOVENORMAL, REALTIME). False, with
    // an ignore rule, for anything else.
    bool ParseOverridesLine(std::string line);

    // Splits source at the first separator outside double quotes: left :=
    // the part before it, source := the part after it, both trimmed. With no
    // separator, left := the whole source (trimmed) and source := "".
    static void SplitAtSeparator(std::string& source, std::string& left, char separator);
    // Removes blanks and tabs at both ends.
    static void TrimBlanks(std::string& text);
};
