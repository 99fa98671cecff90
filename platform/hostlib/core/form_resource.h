#pragma once
// Form resources: a text description of a component tree.
//
//     // comment
//     MainForm : TMainForm {
//       Caption = "Quelvo";                 strings: "..." with \" \\ \n \t \xHH
//       Width = 640;                        integers (also $FF), floats 1.5, 1e3
//       Options.Sizing = True;              dotted paths walk into sub-objects
//       Anchors = [akLeft, akTop];          sets
//       Color = clBtnFace;                  identifiers: enumerations, colours,
//       Buddy = Button1;                      component references, handlers
//       Items = ("one", "two");             lists (string lists)
//       Columns = < item { Caption = "Name"; } item { } >;   collections
//       Data = hex{0A0B 0C};                binary data
//       Button1 : TButton { ... }           nested components
//     }
// A component without a name is written (and read) as "_".
//
// Loading: every component is created with the form as owner, named, given
// its enclosing object with SetParentComponent and read through its
// ReadState while the loading and reading flags are set; property paths walk
// into sub-objects by their run-time class; component references are fixed
// up after the whole form is read; events bind to the form's published
// handlers by name with a signature check; DefineProperties hooks read their
// own data; then Loaded runs on the form and every new component in
// creation order. Every error is an EFormResourceError "file:line: message",
// and a failed load frees what it created.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/hostlib/core/component.h"

namespace hostlib {

struct FormItem;

struct FormValue {
    enum Kind { Integer, Float, String, Ident, Set, List, Collection, Binary };
    Kind kind = Integer;
    int line = 0;
    std::int64_t integer = 0;
    double number = 0;
    std::string text;                 // string value, identifier, or number token
    std::vector<std::string> names;   // Set
    std::vector<FormValue> items;     // List
    std::vector<FormItem> collection; // Collection
    std::vector<std::uint8_t> bytes;  // Binary
};

struct FormAssignment {
    std::string path;
    FormValue value;
    int line = 0;
};

struct FormItem {
    std::vector<FormAssignment> assignments;
    int line = 0;
};

struct FormObject {
    std::string name;
    std::string className;
    int line = 0;
    std::vector<FormAssignment> properties;
    std::vector<FormObject> children;
};

// Raises EFormResourceError for malformed text.
FormObject ParseFormResource(std::string_view text, const std::string& fileName);

// Reads a form resource into an existing root, whose class must be the one
// the resource names (or derive from it).
void ReadFormResource(TComponent* root, std::string_view text, const std::string& fileName);
// Creates the root from its registered class name, then reads into it.
TComponent* CreateFromFormResource(std::string_view text, const std::string& fileName, TComponent* owner);
// The same for a compiled-in resource of type "FORM".
void ReadFormResourceByName(TComponent* root, const std::string& resourceName);

// Writes a component tree: published properties that are stored and differ
// from their defaults, defined properties, then the children the
// components report through GetChildren.
std::string WriteFormResource(TComponent* root);

}  // namespace hostlib
