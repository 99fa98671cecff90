#pragma once
// The filter text of a data set: conditions on fields joined by AND, OR
// and NOT, read once when filtering starts and then evaluated per record.
//
//   condition := operand op operand            op: = <> != < <= > >=
//              | operand [NOT] LIKE pattern     % any run, _ one character
//              | operand [NOT] BETWEEN a AND b
//              | operand [NOT] IN (a, b, ...)
//              | operand IS [NOT] NULL | operand = NULL | operand <> NULL
//   operand   := Name | [Any Name] | 'text' | "text" | number | TRUE | FALSE | NULL
// Texts compared with a date, number or Boolean field are converted to the
// field's type when the filter is read. With partial compare a text ending
// in "*" compared by = or <> matches by prefix.

#include <functional>
#include <memory>
#include <string>

#include "platform/hostlib/data/dbcommon.h"
#include "platform/hostlib/core/variant.h"

namespace hostlib {

class FilterExpression {
public:
    struct Options {
        bool CaseInsensitive = false;
        bool PartialCompare = true;
    };
    // -1 for an unknown name.
    using FieldResolver = std::function<int(const std::string& name)>;
    using FieldTypeOf = std::function<TFieldType(int field)>;
    using FieldValue = std::function<Variant(int field)>;

    // Raises EDatabaseError "Filter expression error: ..." for a text it
    // cannot read, an unknown field or a value that does not convert.
    static std::unique_ptr<FilterExpression> Parse(const std::string& text, Options options,
                                                   const FieldResolver& resolve, const FieldTypeOf& typeOf);
    ~FilterExpression();

    bool Evaluate(const FieldValue& value) const;

    struct Node;

private:
    FilterExpression() = default;
    std::unique_ptr<Node> root_;
    Options options_;
};

// LIKE matching: '%' stands for any run of characters, '_' for one.
bool FilterLike(const std::string& text, const std::string& pattern);

}  // namespace hostlib
