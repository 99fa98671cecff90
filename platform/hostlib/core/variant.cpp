#include "platform/hostlib/core/variant.h"

#include <cmath>
#include <limits>

#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/format.h"

namespace hostlib {

namespace {

enum class Cat { Empty, Null, Int, Bool, Float, Date, Money, Str, Array, Other };

Cat CategoryOf(TVarType t)
{
    if (t & varArray) return Cat::Array;
    switch (t & varTypeMask) {
    case varEmpty: return Cat::Empty;
    case varNull: return Cat::Null;
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
    case varUInt64: return Cat::Int;
    case varBoolean: return Cat::Bool;
    case varSingle:
    case varDouble: return Cat::Float;
    case varDate: return Cat::Date;
    case varCurrency: return Cat::Money;
    case varOleStr:
    case varString: return Cat::Str;
    default: return Cat::Other;
    }
}

[[noreturn]] void CastError(TVarType from, TVarType to)
{
    throw EVariantTypeCastError(Format(messages::SVarTypeCouldNotConvert, VarTypeAsText(from), VarTypeAsText(to)));
}

[[noreturn]] void OverflowError(TVarType from, TVarType to)
{
    throw EVariantOverflowError(Format(messages::SVarTypeConvertOverflow, VarTypeAsText(from), VarTypeAsText(to)));
}

[[noreturn]] void InvalidOp()
{
    throw EVariantInvalidOpError(messages::SVarInvalidOp);
}

// An integer of any width, held exactly.
using Wide = __int128;

bool RangeOf(TVarType t, Wide& lo, Wide& hi)
{
    switch (t) {
    case varShortInt: lo = -128; hi = 127; return true;
    case varByte: lo = 0; hi = 255; return true;
    case varSmallint: lo = -32768; hi = 32767; return true;
    case varWord: lo = 0; hi = 65535; return true;
    case varInteger: lo = std::numeric_limits<std::int32_t>::min(); hi = std::numeric_limits<std::int32_t>::max(); return true;
    case varLongWord: lo = 0; hi = std::numeric_limits<std::uint32_t>::max(); return true;
    case varInt64: lo = std::numeric_limits<std::int64_t>::min(); hi = std::numeric_limits<std::int64_t>::max(); return true;
    case varUInt64: lo = 0; hi = static_cast<Wide>(std::numeric_limits<std::uint64_t>::max()); return true;
    default: return false;
    }
}

}  // namespace

// Reaches the private members for the free helpers below.
class VariantAccess {
public:
    static TVarType Type(const Variant& v) { return static_cast<TVarType>(v.type_ & ~varByRef); }
    static std::int64_t Int(const Variant& v) { return v.int_; }
    static double Float(const Variant& v) { return v.float_; }
    static const std::string& Str(const Variant& v) { return v.string_; }

    static Wide WideInt(const Variant& v)
    {
        if ((v.type_ & varTypeMask) == varUInt64) return static_cast<Wide>(static_cast<std::uint64_t>(v.int_));
        return v.int_;
    }

    // The value as an exact integer in the given target's terms; raises.
    static Wide ToWide(const Variant& v, TVarType target)
    {
        const TVarType t = Type(v);
        switch (CategoryOf(t)) {
        case Cat::Empty: return 0;
        case Cat::Int: return WideInt(v);
        case Cat::Bool: return v.int_ ? -1 : 0;
        case Cat::Money: return RoundScaled(v.int_);
        case Cat::Float:
        case Cat::Date: return FloatToWide(v.float_, t, target);
        case Cat::Str: {
            std::int64_t i = 0;
            if (TryStrToInt64(v.string_, i)) return i;
            double d = 0;
            if (TryStrToFloat(v.string_, d)) return FloatToWide(d, t, target);
            CastError(t, target);
        }
        default: CastError(t, target);
        }
    }

    static std::int64_t RoundScaled(std::int64_t scaled)
    {
        // Ten-thousandths to a whole number, ties to even, exactly.
        std::int64_t q = scaled / Currency::Scale;
        std::int64_t r = scaled % Currency::Scale;
        if (r < 0) {
            r += Currency::Scale;
            --q;
        }
        if (r > Currency::Scale / 2 || (r == Currency::Scale / 2 && (q & 1))) ++q;
        return q;
    }

    static Wide FloatToWide(double d, TVarType from, TVarType target)
    {
        if (!std::isfinite(d)) OverflowError(from, target);
        const double r = std::nearbyint(d);
        if (std::fabs(r) >= 1.8446744073709552e19) OverflowError(from, target);
        return static_cast<Wide>(r);
    }

    static Wide Checked(const Variant& v, TVarType target)
    {
        const Wide w = ToWide(v, target);
        Wide lo = 0;
        Wide hi = 0;
        RangeOf(target, lo, hi);
        if (w < lo || w > hi) OverflowError(Type(v), target);
        return w;
    }

    static double ToDouble(const Variant& v, TVarType target)
    {
        const TVarType t = Type(v);
        switch (CategoryOf(t)) {
        case Cat::Empty: return 0;
        case Cat::Int: return static_cast<double>(WideInt(v));
        case Cat::Bool: return v.int_ ? -1 : 0;
        case Cat::Money: return static_cast<double>(v.int_) / Currency::Scale;
        case Cat::Float:
        case Cat::Date: return v.float_;
        case Cat::Str: {
            double d = 0;
            if (target == varDate) {
                TDateTime dt = 0;
                if (TryStrToDateTime(v.string_, dt)) return dt;
            }
            if (TryStrToFloat(v.string_, d)) return d;
            CastError(t, target);
        }
        default: CastError(t, target);
        }
    }

    static Currency ToCurrency(const Variant& v)
    {
        const TVarType t = Type(v);
        switch (CategoryOf(t)) {
        case Cat::Money: return Currency::FromScaled(v.int_);
        case Cat::Int: {
            const Wide scaled = WideInt(v) * Currency::Scale;
            if (scaled > std::numeric_limits<std::int64_t>::max() || scaled < std::numeric_limits<std::int64_t>::min())
                OverflowError(t, varCurrency);
            return Currency::FromScaled(static_cast<std::int64_t>(scaled));
        }
        case Cat::Str: {
            Currency c;
            double d = 0;
            if (!TryStrToFloat(v.string_, d)) CastError(t, varCurrency);
            if (!TryStrToCurr(v.string_, c)) OverflowError(t, varCurrency);
            return c;
        }
        default: {
            Currency c;
            if (!Currency::TryFromDouble(ToDouble(v, varCurrency), c)) OverflowError(t, varCurrency);
            return c;
        }
        }
    }

    static bool ToBool(const Variant& v)
    {
        const TVarType t = Type(v);
        switch (CategoryOf(t)) {
        case Cat::Empty: return false;
        case Cat::Bool:
        case Cat::Int:
        case Cat::Money: return v.int_ != 0;
        case Cat::Float:
        case Cat::Date: return v.float_ != 0;
        case Cat::Str: {
            bool b = false;
            if (!TryStrToBool(v.string_, b)) CastError(t, varBoolean);
            return b;
        }
        default: CastError(t, varBoolean);
        }
    }

    static std::string ToString(const Variant& v, TVarType target)
    {
        const TVarType t = Type(v);
        switch (CategoryOf(t)) {
        case Cat::Empty: return {};
        case Cat::Str: return v.string_;
        case Cat::Int: return (t & varTypeMask) == varUInt64 ? UIntToStr(static_cast<std::uint64_t>(v.int_)) : IntToStr(v.int_);
        case Cat::Bool: return v.int_ ? "True" : "False";
        case Cat::Money: return CurrToStr(Currency::FromScaled(v.int_));
        case Cat::Float:
            if ((t & varTypeMask) == varSingle) return FloatToStrF(v.float_, ffGeneral, 7, 0);
            return FloatToStr(v.float_);
        case Cat::Date: return DateTimeToStr(v.float_);
        default: CastError(t, target);
        }
    }

    // Three-way comparison per the Variant rules; Null handled by callers.
    static int Compare(const Variant& a, const Variant& b)
    {
        Cat ca = CategoryOf(Type(a));
        Cat cb = CategoryOf(Type(b));
        if (ca == Cat::Array || cb == Cat::Array || ca == Cat::Other || cb == Cat::Other) InvalidOp();
        if (ca == Cat::Null || cb == Cat::Null) {
            if (ca == cb) return 0;
            return ca == Cat::Null ? -1 : 1;
        }
        if (ca == Cat::Empty && cb == Cat::Empty) return 0;
        if (ca == Cat::Str && (cb == Cat::Str || cb == Cat::Empty)) return CompareStr(a.string_, ToString(b, varString));
        if (cb == Cat::Str && ca == Cat::Empty) return CompareStr("", b.string_);
        if (ca == Cat::Bool && (cb == Cat::Bool || cb == Cat::Empty || cb == Cat::Str))
            return Three(ToBool(a) ? 1 : 0, ToBool(b) ? 1 : 0);
        if (cb == Cat::Bool && (ca == Cat::Empty || ca == Cat::Str)) return Three(ToBool(a) ? 1 : 0, ToBool(b) ? 1 : 0);
        // Numbers, dates, and strings converted to them.
        if (ca == Cat::Str) ca = cb == Cat::Int ? StrCategory(a) : cb;
        if (cb == Cat::Str) cb = ca == Cat::Int ? StrCategory(b) : ca;
        if (ca == Cat::Float || cb == Cat::Float || ca == Cat::Date || cb == Cat::Date) {
            const TVarType target = (ca == Cat::Date || cb == Cat::Date) ? varDate : varDouble;
            return Three(ToDouble(a, target), ToDouble(b, target));
        }
        if (ca == Cat::Money || cb == Cat::Money) return Three(ToCurrency(a).Scaled(), ToCurrency(b).Scaled());
        return Three(ToWide(a, varInt64), ToWide(b, varInt64));
    }

    // A string compared with an integer compares as an integer when it is
    // one, else as a double.
    static Cat StrCategory(const Variant& v)
    {
        std::int64_t i = 0;
        return TryStrToInt64(v.string_, i) ? Cat::Int : Cat::Float;
    }

    template <class T>
    static int Three(T x, T y)
    {
        return x < y ? -1 : (y < x ? 1 : 0);
    }

    static Variant FromWide(Wide w, bool preferInt32)
    {
        if (preferInt32 && w >= std::numeric_limits<std::int32_t>::min() && w <= std::numeric_limits<std::int32_t>::max())
            return Variant(static_cast<std::int32_t>(w));
        if (w < std::numeric_limits<std::int64_t>::min() || w > std::numeric_limits<std::int64_t>::max())
            throw EVariantOverflowError(Format(messages::SVarTypeConvertOverflow, std::string("Int64"), std::string("Int64")));
        return Variant(static_cast<std::int64_t>(w));
    }

    enum class Op { Add, Sub, Mul, Div };

    static Variant Arith(const Variant& a, const Variant& b, Op op)
    {
        Cat ca = CategoryOf(Type(a));
        Cat cb = CategoryOf(Type(b));
        if (ca == Cat::Array || cb == Cat::Array || ca == Cat::Other || cb == Cat::Other) InvalidOp();
        if (ca == Cat::Null || cb == Cat::Null) return Variant::Null();
        if (op == Op::Add && (ca == Cat::Str || ca == Cat::Empty) && (cb == Cat::Str || cb == Cat::Empty) &&
            !(ca == Cat::Empty && cb == Cat::Empty))
            return Variant(ToString(a, varString) + ToString(b, varString));
        if (ca == Cat::Str) ca = StrCategory(a);
        if (cb == Cat::Str) cb = StrCategory(b);
        if (op == Op::Div || ca == Cat::Float || cb == Cat::Float || ca == Cat::Date || cb == Cat::Date) {
            const double x = ToDouble(a, varDouble);
            const double y = ToDouble(b, varDouble);
            double r = 0;
            switch (op) {
            case Op::Add: r = x + y; break;
            case Op::Sub: r = x - y; break;
            case Op::Mul: r = x * y; break;
            case Op::Div:
                if (y == 0) throw EZeroDivide("Floating point division by zero");
                r = x / y;
                break;
            }
            const bool date = (ca == Cat::Date || cb == Cat::Date) && op != Op::Div && op != Op::Mul &&
                              !(op == Op::Sub && ca == Cat::Date && cb == Cat::Date);
            return date ? Variant::FromDate(r) : Variant(r);
        }
        if (ca == Cat::Money || cb == Cat::Money) {
            if (op == Op::Mul) {
                // Currency times a number keeps four decimals, ties to even.
                const bool bothMoney = ca == Cat::Money && cb == Cat::Money;
                const double r = bothMoney ? ToDouble(a, varDouble) * ToDouble(b, varDouble)
                                           : static_cast<double>(ToCurrency(ca == Cat::Money ? a : b).Scaled()) *
                                                 ToDouble(ca == Cat::Money ? b : a, varDouble) / Currency::Scale;
                Currency c;
                if (!Currency::TryFromDouble(r, c)) OverflowError(varCurrency, varCurrency);
                return Variant(c);
            }
            const Wide x = ToCurrency(a).Scaled();
            const Wide y = ToCurrency(b).Scaled();
            const Wide r = op == Op::Add ? x + y : x - y;
            if (r > std::numeric_limits<std::int64_t>::max() || r < std::numeric_limits<std::int64_t>::min())
                OverflowError(varCurrency, varCurrency);
            return Variant(Currency::FromScaled(static_cast<std::int64_t>(r)));
        }
        const Wide x = ToWide(a, varInt64);
        const Wide y = ToWide(b, varInt64);
        const bool small = (Type(a) & varTypeMask) != varInt64 && (Type(b) & varTypeMask) != varInt64 &&
                           (Type(a) & varTypeMask) != varUInt64 && (Type(b) & varTypeMask) != varUInt64;
        switch (op) {
        case Op::Add: return FromWide(x + y, small);
        case Op::Sub: return FromWide(x - y, small);
        default: {
            // Products of 64-bit values may exceed even 128 bits' comfort: check.
            const long double p = static_cast<long double>(x) * static_cast<long double>(y);
            if (p > 1.7e38L || p < -1.7e38L) OverflowError(varInt64, varInt64);
            return FromWide(x * y, small);
        }
        }
    }
};

Variant Variant::Null()
{
    Variant v;
    v.type_ = varNull;
    return v;
}

Variant Variant::FromDate(TDateTime d)
{
    Variant v;
    v.type_ = varDate;
    v.float_ = d;
    return v;
}

Variant Variant::FromOleStr(std::string utf8)
{
    Variant v;
    v.type_ = varOleStr;
    v.string_ = std::move(utf8);
    return v;
}

Variant Variant::CreateArray(int lowBound, int highBound, TVarType elementType)
{
    // The element count is bounded so that a hostile count read from a stream
    // cannot ask for gigabytes.
    if (highBound < lowBound - 1 || static_cast<long long>(highBound) - lowBound >= (1LL << 24))
        throw EVariantArrayCreateError(messages::SVarArrayCreate);
    Variant v;
    v.type_ = static_cast<TVarType>(varArray | (elementType & varTypeMask));
    v.array_ = std::make_unique<ArrayData>();
    v.array_->lowBound = lowBound;
    v.array_->elementType = static_cast<TVarType>(elementType & varTypeMask);
    Variant zero;
    if (v.array_->elementType != varVariant && v.array_->elementType != varEmpty)
        zero = Variant(std::int32_t{0}).AsType(v.array_->elementType);
    v.array_->items.assign(static_cast<std::size_t>(highBound - lowBound + 1), zero);
    return v;
}

Variant Variant::ArrayOf(const std::vector<Variant>& items)
{
    Variant v = CreateArray(0, static_cast<int>(items.size()) - 1, varVariant);
    v.array_->items = items;
    return v;
}

Variant::Variant(const Variant& other)
    : type_(other.type_), int_(other.int_), float_(other.float_), string_(other.string_),
      array_(other.array_ ? std::make_unique<ArrayData>(*other.array_) : nullptr)
{
}

Variant& Variant::operator=(const Variant& other)
{
    if (this != &other) {
        Variant copy(other);
        *this = std::move(copy);
    }
    return *this;
}

bool Variant::AsBoolean() const
{
    if (IsNull() || IsArray()) CastError(type_, varBoolean);
    return VariantAccess::ToBool(*this);
}

std::int32_t Variant::AsInteger() const
{
    if (IsNull() || IsArray()) CastError(type_, varInteger);
    return static_cast<std::int32_t>(VariantAccess::Checked(*this, varInteger));
}

std::int64_t Variant::AsInt64() const
{
    if (IsNull() || IsArray()) CastError(type_, varInt64);
    return static_cast<std::int64_t>(VariantAccess::Checked(*this, varInt64));
}

double Variant::AsDouble() const
{
    if (IsNull() || IsArray()) CastError(type_, varDouble);
    return VariantAccess::ToDouble(*this, varDouble);
}

Currency Variant::AsCurrency() const
{
    if (IsNull() || IsArray()) CastError(type_, varCurrency);
    return VariantAccess::ToCurrency(*this);
}

TDateTime Variant::AsDate() const
{
    if (IsNull() || IsArray()) CastError(type_, varDate);
    return VariantAccess::ToDouble(*this, varDate);
}

std::string Variant::AsString() const
{
    if (IsNull() || IsArray()) CastError(type_, varString);
    return VariantAccess::ToString(*this, varString);
}

Variant Variant::AsType(TVarType type) const
{
    const TVarType target = static_cast<TVarType>(type & varTypeMask);
    if ((type_ & varTypeMask) == target && !IsArray()) return *this;
    if (target == varEmpty) return Variant();
    if (target == varNull) return Null();
    if (target == varVariant) return *this;
    if (IsNull() || IsArray()) CastError(type_, target);
    switch (target) {
    case varShortInt: return Variant(static_cast<std::int8_t>(VariantAccess::Checked(*this, target)));
    case varByte: return Variant(static_cast<std::uint8_t>(VariantAccess::Checked(*this, target)));
    case varSmallint: return Variant(static_cast<std::int16_t>(VariantAccess::Checked(*this, target)));
    case varWord: return Variant(static_cast<std::uint16_t>(VariantAccess::Checked(*this, target)));
    case varInteger: return Variant(static_cast<std::int32_t>(VariantAccess::Checked(*this, target)));
    case varLongWord: return Variant(static_cast<std::uint32_t>(VariantAccess::Checked(*this, target)));
    case varInt64: return Variant(static_cast<long long>(VariantAccess::Checked(*this, target)));
    case varUInt64: return Variant(static_cast<unsigned long long>(VariantAccess::Checked(*this, target)));
    case varSingle: {
        const double d = VariantAccess::ToDouble(*this, target);
        if (std::isfinite(d) && std::fabs(d) > std::numeric_limits<float>::max()) OverflowError(type_, target);
        return Variant(static_cast<float>(d));
    }
    case varDouble: return Variant(VariantAccess::ToDouble(*this, target));
    case varDate: return FromDate(VariantAccess::ToDouble(*this, target));
    case varCurrency: return Variant(AsCurrency());
    case varBoolean: return Variant(AsBoolean());
    case varString: return Variant(AsString());
    case varOleStr: return FromOleStr(AsString());
    default: CastError(type_, target);
    }
}

int Variant::ArrayLowBound() const
{
    if (!array_) throw EVariantInvalidOpError(messages::SVarNotArray);
    return array_->lowBound;
}

int Variant::ArrayHighBound() const
{
    if (!array_) throw EVariantInvalidOpError(messages::SVarNotArray);
    return array_->lowBound + static_cast<int>(array_->items.size()) - 1;
}

const Variant& Variant::operator[](int index) const
{
    if (!array_) throw EVariantInvalidOpError(messages::SVarNotArray);
    const long long i = static_cast<long long>(index) - array_->lowBound;
    if (i < 0 || i >= static_cast<long long>(array_->items.size())) throw EVariantBadIndexError(messages::SVarBadIndex);
    return array_->items[static_cast<std::size_t>(i)];
}

Variant& Variant::operator[](int index)
{
    return const_cast<Variant&>(static_cast<const Variant&>(*this)[index]);
}

const std::vector<Variant>& Variant::ArrayItems() const
{
    if (!array_) throw EVariantInvalidOpError(messages::SVarNotArray);
    return array_->items;
}

bool operator==(const Variant& a, const Variant& b)
{
    return VariantAccess::Compare(a, b) == 0;
}

bool operator<(const Variant& a, const Variant& b)
{
    return VariantAccess::Compare(a, b) < 0;
}

Variant operator+(const Variant& a, const Variant& b)
{
    return VariantAccess::Arith(a, b, VariantAccess::Op::Add);
}

Variant operator-(const Variant& a, const Variant& b)
{
    return VariantAccess::Arith(a, b, VariantAccess::Op::Sub);
}

Variant operator*(const Variant& a, const Variant& b)
{
    return VariantAccess::Arith(a, b, VariantAccess::Op::Mul);
}

Variant operator/(const Variant& a, const Variant& b)
{
    return VariantAccess::Arith(a, b, VariantAccess::Op::Div);
}

Variant Variant::operator-() const
{
    return VariantAccess::Arith(Variant(std::int32_t{0}), *this, VariantAccess::Op::Sub).AsType(
        CategoryOf(type_) == Cat::Str ? varDouble : static_cast<TVarType>(type_ & varTypeMask) == varEmpty ? varInteger
                                                                                                            : type_ & varTypeMask);
}

bool VarIsArray(const Variant& v)
{
    return v.IsArray();
}

bool VarIsStr(const Variant& v)
{
    return !v.IsArray() && CategoryOf(v.VarType()) == Cat::Str;
}

bool VarIsNumeric(const Variant& v)
{
    const Cat c = CategoryOf(v.VarType());
    return c == Cat::Int || c == Cat::Float || c == Cat::Money;
}

bool VarIsOrdinal(const Variant& v)
{
    const Cat c = CategoryOf(v.VarType());
    return c == Cat::Int || c == Cat::Bool;
}

bool VarIsFloat(const Variant& v)
{
    const Cat c = CategoryOf(v.VarType());
    return c == Cat::Float || c == Cat::Money;
}

bool VarIsType(const Variant& v, TVarType type)
{
    return v.VarType() == type;
}

std::string VarToStr(const Variant& v)
{
    return VarToStrDef(v, "");
}

std::string VarToStrDef(const Variant& v, const std::string& def)
{
    if (v.IsNull() || v.IsEmpty()) return def;
    return v.AsString();
}

TDateTime VarToDateTime(const Variant& v)
{
    return v.AsDate();
}

Variant VarAsType(const Variant& v, TVarType type)
{
    return v.AsType(type);
}

TVariantRelationship VarCompareValue(const Variant& a, const Variant& b)
{
    if (a.IsNull() || b.IsNull()) return a.IsNull() && b.IsNull() ? vrEqual : vrNotEqual;
    const int r = VariantAccess::Compare(a, b);
    return r < 0 ? vrLessThan : (r > 0 ? vrGreaterThan : vrEqual);
}

bool VarSameValue(const Variant& a, const Variant& b)
{
    if (a.VarType() != b.VarType() && (a.IsNull() || b.IsNull() || a.IsEmpty() || b.IsEmpty())) return false;
    return VarCompareValue(a, b) == vrEqual;
}

Variant VarArrayCreate(int lowBound, int highBound, TVarType elementType)
{
    return Variant::CreateArray(lowBound, highBound, elementType);
}

Variant VarArrayOf(const std::vector<Variant>& items)
{
    return Variant::ArrayOf(items);
}

int VarArrayDimCount(const Variant& v)
{
    return v.IsArray() ? 1 : 0;
}

int VarArrayLowBound(const Variant& v, int dim)
{
    if (dim != 1) throw EVariantBadIndexError(messages::SVarBadIndex);
    return v.ArrayLowBound();
}

int VarArrayHighBound(const Variant& v, int dim)
{
    if (dim != 1) throw EVariantBadIndexError(messages::SVarBadIndex);
    return v.ArrayHighBound();
}

std::string VarTypeAsText(TVarType type)
{
    std::string base;
    switch (type & varTypeMask) {
    case varEmpty: base = "Empty"; break;
    case varNull: base = "Null"; break;
    case varSmallint: base = "Smallint"; break;
    case varInteger: base = "Integer"; break;
    case varSingle: base = "Single"; break;
    case varDouble: base = "Double"; break;
    case varCurrency: base = "Currency"; break;
    case varDate: base = "Date"; break;
    case varOleStr: base = "OleStr"; break;
    case varDispatch: base = "Dispatch"; break;
    case varError: base = "Error"; break;
    case varBoolean: base = "Boolean"; break;
    case varVariant: base = "Variant"; break;
    case varUnknown: base = "Unknown"; break;
    case varShortInt: base = "ShortInt"; break;
    case varByte: base = "Byte"; break;
    case varWord: base = "Word"; break;
    case varLongWord: base = "LongWord"; break;
    case varInt64: base = "Int64"; break;
    case varUInt64: base = "UInt64"; break;
    case varString: base = "String"; break;
    default: base = "$" + IntToHex(type & varTypeMask, 4); break;
    }
    if (type & varArray) base = "Array " + base;
    if (type & varByRef) base = "Ref " + base;
    return base;
}

}  // namespace hostlib
