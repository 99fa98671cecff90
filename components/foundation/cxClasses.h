#pragma once
// Resource strings of the component library. Every message, caption and hint
// is a string-table entry read through cxGetResourceString, which applies the
// program's replacement table first.
//
// Only the resource-string part of this unit is here so far; the component
// bases, class registries and object links join it later.

#include <string>

// A string-table entry: its identifier and the text the program carries.
struct TcxResourceString {
    int Identifier = 0;
    const char* Text = "";
};

// The entry's text, or its replacement when one was set for that text.
std::string cxGetResourceString(const TcxResourceString& resource);
// The replacement for a loaded text (compared ignoring case), else the text.
std::string cxGetResourceStringNet(const std::string& text);
// Replaces the text of an entry. The table is keyed by the loaded text, so
// two entries with the same text share one replacement.
void cxSetResourceString(const TcxResourceString& resource, const std::string& value);
void cxSetResourceStringNet(const std::string& source, const std::string& value);
// Unit shut-down: frees the replacement table.
void cxClearResourceStrings();
