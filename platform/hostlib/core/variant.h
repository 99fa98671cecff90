#pragma once
// The run-time library's Variant: a value tagged with its OLE type code.
//
// Rules (shared by every component that compares or converts variants):
// - string against string compares case-sensitively by bytes;
// - numbers compare exactly as integers, as doubles once a Single, Double or
//   Date is involved, Currency against an integer as scaled 64-bit values;
// - a string against a number, Boolean or date is converted to the other
//   type with the locale; failure raises EVariantTypeCastError;
// - True converts to -1 and False < True; Empty converts to 0, '' and False;
// - conversion to an integer rounds half to even and raises
//   EVariantOverflowError when the value does not fit;
// - text of a double has 15 significant digits ("1.5", "1E20"), of a
//   Currency up to 4 decimals without trailing zeros, of a Boolean
//   "True"/"False"; Null converts to no type (VarToStr gives '').
// Strings are 8-bit (UTF-8) byte strings; an OleStr holds the same UTF-8
// text and is converted to UTF-16 only where a stream format asks for it.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/hostlib/core/currency.h"
#include "platform/hostlib/core/datetime.h"

namespace hostlib {

using TVarType = std::uint16_t;

inline constexpr TVarType varEmpty = 0x0000;
inline constexpr TVarType varNull = 0x0001;
inline constexpr TVarType varSmallint = 0x0002;
inline constexpr TVarType varInteger = 0x0003;
inline constexpr TVarType varSingle = 0x0004;
inline constexpr TVarType varDouble = 0x0005;
inline constexpr TVarType varCurrency = 0x0006;
inline constexpr TVarType varDate = 0x0007;
inline constexpr TVarType varOleStr = 0x0008;
inline constexpr TVarType varDispatch = 0x0009;
inline constexpr TVarType varError = 0x000A;
inline constexpr TVarType varBoolean = 0x000B;
inline constexpr TVarType varVariant = 0x000C;
inline constexpr TVarType varUnknown = 0x000D;
inline constexpr TVarType varShortInt = 0x0010;
inline constexpr TVarType varByte = 0x0011;
inline constexpr TVarType varWord = 0x0012;
inline constexpr TVarType varLongWord = 0x0013;
inline constexpr TVarType varInt64 = 0x0014;
inline constexpr TVarType varUInt64 = 0x0015;
inline constexpr TVarType varString = 0x0100;
inline constexpr TVarType varTypeMask = 0x0FFF;
inline constexpr TVarType varArray = 0x2000;
inline constexpr TVarType varByRef = 0x4000;

enum TVariantRelationship { vrEqual, vrLessThan, vrGreaterThan, vrNotEqual };

class Variant {
public:
    Variant() = default;
    Variant(bool v) : type_(varBoolean), int_(v ? 1 : 0) {}
    Variant(std::int8_t v) : type_(varShortInt), int_(v) {}
    Variant(std::uint8_t v) : type_(varByte), int_(v) {}
    Variant(std::int16_t v) : type_(varSmallint), int_(v) {}
    Variant(std::uint16_t v) : type_(varWord), int_(v) {}
    Variant(std::int32_t v) : type_(varInteger), int_(v) {}
    Variant(std::uint32_t v) : type_(varLongWord), int_(v) {}
    Variant(long v) : type_(varInt64), int_(v) {}
    Variant(long long v) : type_(varInt64), int_(v) {}
    Variant(unsigned long v) : type_(varUInt64), int_(static_cast<std::int64_t>(v)) {}
    Variant(unsigned long long v) : type_(varUInt64), int_(static_cast<std::int64_t>(v)) {}
    Variant(float v) : type_(varSingle), float_(v) {}
    Variant(double v) : type_(varDouble), float_(v) {}
    Variant(Currency v) : type_(varCurrency), int_(v.Scaled()) {}
    Variant(const char* v) : type_(varString), string_(v ? v : "") {}
    Variant(std::string_view v) : type_(varString), string_(v) {}
    Variant(std::string v) : type_(varString), string_(std::move(v)) {}
    Variant(char v) = delete;  // ambiguous: a character or a small number

    static Variant Null();
    static Variant FromDate(TDateTime v);
    static Variant FromOleStr(std::string utf8);
    // A one-dimensional array of elements of the given type (varVariant for
    // mixed), every element Empty (or the type's zero).
    static Variant CreateArray(int lowBound, int highBound, TVarType elementType = varVariant);
    static Variant ArrayOf(const std::vector<Variant>& items);  // bounds 0 .. n-1

    Variant(const Variant& other);
    Variant& operator=(const Variant& other);
    Variant(Variant&& other) noexcept = default;
    Variant& operator=(Variant&& other) noexcept = default;
    ~Variant() = default;

    TVarType VarType() const { return type_; }
    bool IsEmpty() const { return type_ == varEmpty; }
    bool IsNull() const { return type_ == varNull; }
    bool IsArray() const { return (type_ & varArray) != 0; }

    // Conversions (see the rules above). Null and arrays raise
    // EVariantTypeCastError.
    bool AsBoolean() const;
    std::int32_t AsInteger() const;
    std::int64_t AsInt64() const;
    double AsDouble() const;
    Currency AsCurrency() const;
    TDateTime AsDate() const;
    std::string AsString() const;
    // The value converted to another type code (Null and Empty stay as
    // they are when converted to themselves).
    Variant AsType(TVarType type) const;

    // Arrays.
    int ArrayLowBound() const;
    int ArrayHighBound() const;
    const Variant& operator[](int index) const;
    Variant& operator[](int index);
    // Raw element storage of an array (low bound first).
    const std::vector<Variant>& ArrayItems() const;

    // Comparisons with the rules above. Null equals Null and is less than
    // any other value; arrays are not comparable (EVariantInvalidOpError).
    friend bool operator==(const Variant& a, const Variant& b);
    friend bool operator<(const Variant& a, const Variant& b);
    friend bool operator>(const Variant& a, const Variant& b) { return b < a; }
    friend bool operator<=(const Variant& a, const Variant& b) { return !(b < a); }
    friend bool operator>=(const Variant& a, const Variant& b) { return !(a < b); }

    // Arithmetic: Null propagates; strings concatenate with '+'; numbers
    // promote as in comparisons. Raise EVariantInvalidOpError / EVariantTypeCastError.
    friend Variant operator+(const Variant& a, const Variant& b);
    friend Variant operator-(const Variant& a, const Variant& b);
    friend Variant operator*(const Variant& a, const Variant& b);
    friend Variant operator/(const Variant& a, const Variant& b);
    Variant operator-() const;

private:
    struct ArrayData {
        int lowBound = 0;
        TVarType elementType = varVariant;
        std::vector<Variant> items;
    };

    TVarType type_ = varEmpty;
    std::int64_t int_ = 0;  // integers, Boolean (0/1), Currency (scaled)
    double float_ = 0;      // Single, Double, Date
    std::string string_;    // String, OleStr
    std::unique_ptr<ArrayData> array_;

    friend class VariantAccess;
};

// Helpers with the run-time library's names.
inline TVarType VarType(const Variant& v) { return v.VarType(); }
inline bool VarIsNull(const Variant& v) { return v.IsNull(); }
inline bool VarIsEmpty(const Variant& v) { return v.IsEmpty(); }
inline bool VarIsClear(const Variant& v) { return v.IsEmpty(); }
bool VarIsArray(const Variant& v);
bool VarIsStr(const Variant& v);
bool VarIsNumeric(const Variant& v);  // integers, floats, Currency (not Boolean, not Date)
bool VarIsOrdinal(const Variant& v);  // integers and Boolean
bool VarIsFloat(const Variant& v);    // Single, Double, Currency
bool VarIsType(const Variant& v, TVarType type);
// '' for Null and Empty.
std::string VarToStr(const Variant& v);
std::string VarToStrDef(const Variant& v, const std::string& def);
TDateTime VarToDateTime(const Variant& v);
Variant VarAsType(const Variant& v, TVarType type);
// Relationship per the comparison rules; Null against non-Null is vrNotEqual
// like the run-time library's VarCompareValue.
TVariantRelationship VarCompareValue(const Variant& a, const Variant& b);
bool VarSameValue(const Variant& a, const Variant& b);
inline Variant Null() { return Variant::Null(); }
inline Variant Unassigned() { return Variant(); }
Variant VarArrayCreate(int lowBound, int highBound, TVarType elementType);
Variant VarArrayOf(const std::vector<Variant>& items);
int VarArrayDimCount(const Variant& v);
int VarArrayLowBound(const Variant& v, int dim);
int VarArrayHighBound(const Variant& v, int dim);
// "Integer", "String", "Null", ... as error messages show them.
std::string VarTypeAsText(TVarType type);

}  // namespace hostlib
