#pragma once
// The one exception base of the project and the run-time error classes the
// host class library raises. Every error a component or program raises
// derives from Exception, so one catch clause sees them all.

#include <exception>
#include <string>

namespace hostlib {

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const std::string& Message() const { return message_; }
    void SetMessage(std::string message) { message_ = std::move(message); }
    const char* what() const noexcept override { return message_.c_str(); }
    // The run-time class name, as programs show it in error boxes.
    virtual const char* ClassName() const { return "Exception"; }

private:
    std::string message_;
};

// Each error class only adds its name. The template keeps the derivation
// tree explicit (E derives from Base) without repeating the boilerplate.
template <class Base, const char* const* NamePtr>
class ErrorClass : public Base {
public:
    using Base::Base;
    const char* ClassName() const override { return *NamePtr; }
};

namespace error_names {
inline constexpr const char* EAbort = "EAbort";
inline constexpr const char* EConvertError = "EConvertError";
inline constexpr const char* EListError = "EListError";
inline constexpr const char* EStringListError = "EStringListError";
inline constexpr const char* EStreamError = "EStreamError";
inline constexpr const char* EFilerError = "EFilerError";
inline constexpr const char* EReadError = "EReadError";
inline constexpr const char* EWriteError = "EWriteError";
inline constexpr const char* EFCreateError = "EFCreateError";
inline constexpr const char* EFOpenError = "EFOpenError";
inline constexpr const char* EClassNotFound = "EClassNotFound";
inline constexpr const char* EComponentError = "EComponentError";
inline constexpr const char* EAbstractError = "EAbstractError";
inline constexpr const char* EVariantError = "EVariantError";
inline constexpr const char* EVariantTypeCastError = "EVariantTypeCastError";
inline constexpr const char* EVariantOverflowError = "EVariantOverflowError";
inline constexpr const char* EVariantInvalidOpError = "EVariantInvalidOpError";
inline constexpr const char* EVariantBadIndexError = "EVariantBadIndexError";
inline constexpr const char* EVariantArrayCreateError = "EVariantArrayCreateError";
inline constexpr const char* EIntOverflow = "EIntOverflow";
inline constexpr const char* ERangeError = "ERangeError";
inline constexpr const char* EZeroDivide = "EZeroDivide";
inline constexpr const char* EDivByZero = "EDivByZero";
inline constexpr const char* EOverflow = "EOverflow";
inline constexpr const char* EInvalidOp = "EInvalidOp";
inline constexpr const char* EInvalidOperation = "EInvalidOperation";
inline constexpr const char* EInvalidCast = "EInvalidCast";
inline constexpr const char* EInvalidPointer = "EInvalidPointer";
inline constexpr const char* EPropertyError = "EPropertyError";
inline constexpr const char* EPropertyConvertError = "EPropertyConvertError";
inline constexpr const char* EInOutError = "EInOutError";
inline constexpr const char* EIniFileException = "EIniFileException";
inline constexpr const char* ERegistryException = "ERegistryException";
inline constexpr const char* EResNotFound = "EResNotFound";
inline constexpr const char* EFormResourceError = "EFormResourceError";
inline constexpr const char* ENotSupportedException = "ENotSupportedException";
inline constexpr const char* EOutOfResources = "EOutOfResources";
}  // namespace error_names

// A silent exception: it unwinds like any other but the application's
// default handler shows nothing for it.
using EAbort = ErrorClass<Exception, &error_names::EAbort>;
using EConvertError = ErrorClass<Exception, &error_names::EConvertError>;
using EListError = ErrorClass<Exception, &error_names::EListError>;
using EStringListError = ErrorClass<Exception, &error_names::EStringListError>;
using EStreamError = ErrorClass<Exception, &error_names::EStreamError>;
using EFilerError = ErrorClass<EStreamError, &error_names::EFilerError>;
using EReadError = ErrorClass<EFilerError, &error_names::EReadError>;
using EWriteError = ErrorClass<EFilerError, &error_names::EWriteError>;
using EFCreateError = ErrorClass<EStreamError, &error_names::EFCreateError>;
using EFOpenError = ErrorClass<EStreamError, &error_names::EFOpenError>;
using EClassNotFound = ErrorClass<EFilerError, &error_names::EClassNotFound>;
using EComponentError = ErrorClass<Exception, &error_names::EComponentError>;
using EAbstractError = ErrorClass<Exception, &error_names::EAbstractError>;
using EVariantError = ErrorClass<Exception, &error_names::EVariantError>;
using EVariantTypeCastError = ErrorClass<EVariantError, &error_names::EVariantTypeCastError>;
using EVariantOverflowError = ErrorClass<EVariantError, &error_names::EVariantOverflowError>;
using EVariantInvalidOpError = ErrorClass<EVariantError, &error_names::EVariantInvalidOpError>;
using EVariantBadIndexError = ErrorClass<EVariantError, &error_names::EVariantBadIndexError>;
using EVariantArrayCreateError = ErrorClass<EVariantError, &error_names::EVariantArrayCreateError>;
using EIntOverflow = ErrorClass<Exception, &error_names::EIntOverflow>;
using ERangeError = ErrorClass<Exception, &error_names::ERangeError>;
using EZeroDivide = ErrorClass<Exception, &error_names::EZeroDivide>;
using EDivByZero = ErrorClass<Exception, &error_names::EDivByZero>;
using EOverflow = ErrorClass<Exception, &error_names::EOverflow>;
using EInvalidOp = ErrorClass<Exception, &error_names::EInvalidOp>;
using EInvalidOperation = ErrorClass<Exception, &error_names::EInvalidOperation>;
using EInvalidCast = ErrorClass<Exception, &error_names::EInvalidCast>;
using EInvalidPointer = ErrorClass<Exception, &error_names::EInvalidPointer>;
using EPropertyError = ErrorClass<Exception, &error_names::EPropertyError>;
// A stored text that does not name a value of a property's type.
using EPropertyConvertError = ErrorClass<Exception, &error_names::EPropertyConvertError>;
using EInOutError = ErrorClass<Exception, &error_names::EInOutError>;
using EIniFileException = ErrorClass<Exception, &error_names::EIniFileException>;
using ERegistryException = ErrorClass<Exception, &error_names::ERegistryException>;
using EResNotFound = ErrorClass<Exception, &error_names::EResNotFound>;
using ENotSupportedException = ErrorClass<Exception, &error_names::ENotSupportedException>;
using EOutOfResources = ErrorClass<Exception, &error_names::EOutOfResources>;

// Raised by the form-resource parser and loader; the message starts with
// "file:line: ".
class EFormResourceError : public ErrorClass<EReadError, &error_names::EFormResourceError> {
public:
    EFormResourceError(std::string file, int line, const std::string& message)
        : ErrorClass(file + ":" + std::to_string(line) + ": " + message), file_(std::move(file)), line_(line) {}
    const std::string& File() const { return file_; }
    int Line() const { return line_; }

private:
    std::string file_;
    int line_ = 0;
};

// Raises the silent exception (the run-time library's Abort).
[[noreturn]] void Abort();
// Raises the abstract-method error.
[[noreturn]] void AbstractError();

// Messages of the run-time library, used by several units.
namespace messages {
inline constexpr const char* SListIndexError = "List index out of bounds (%d)";
inline constexpr const char* SListCapacityError = "List capacity out of bounds (%d)";
inline constexpr const char* SListCountError = "List count out of bounds (%d)";
inline constexpr const char* SDuplicateString = "String list does not allow duplicates";
inline constexpr const char* SSortedListError = "Operation not allowed on sorted list";
inline constexpr const char* SReadError = "Stream read error";
inline constexpr const char* SWriteError = "Stream write error";
inline constexpr const char* SFCreateError = "Cannot create file \"%s\". %s";
inline constexpr const char* SFOpenError = "Cannot open file \"%s\". %s";
inline constexpr const char* SAssignError = "Cannot assign a %s to a %s";
inline constexpr const char* SDuplicateName = "A component named %s already exists";
inline constexpr const char* SInvalidName = "'%s' is not a valid component name";
inline constexpr const char* SAbstractError = "Abstract Error";
inline constexpr const char* SInvalidInteger = "'%s' is not a valid integer value";
inline constexpr const char* SInvalidFloat = "'%s' is not a valid floating point value";
inline constexpr const char* SInvalidDate = "'%s' is not a valid date";
inline constexpr const char* SInvalidTime = "'%s' is not a valid time";
inline constexpr const char* SInvalidDateTime = "'%s' is not a valid date and time";
inline constexpr const char* SInvalidFormat = "Format '%s' invalid or incompatible with argument";
inline constexpr const char* SArgumentMissing = "No argument for format '%s'";
inline constexpr const char* SDateEncodeError = "Invalid argument to date encode";
inline constexpr const char* STimeEncodeError = "Invalid argument to time encode";
inline constexpr const char* SVarTypeCouldNotConvert = "Could not convert variant of type (%s) into type (%s)";
inline constexpr const char* SVarTypeConvertOverflow = "Overflow while converting variant of type (%s) into type (%s)";
inline constexpr const char* SVarInvalidOp = "Invalid variant operation";
inline constexpr const char* SVarBadIndex = "Variant or safe array index out of bounds";
inline constexpr const char* SVarArrayCreate = "Error creating variant or safe array";
inline constexpr const char* SVarNotArray = "Variant is not an array";
inline constexpr const char* SClassNotFound = "Class %s not found";
inline constexpr const char* SUnknownProperty = "Property %s does not exist";
inline constexpr const char* SReadOnlyProperty = "Property %s is read-only";
inline constexpr const char* SInvalidPropertyValue = "Invalid property value";
inline constexpr const char* SNestedTooDeeply = "Values nested too deeply";
inline constexpr const char* SIntOverflow = "Integer overflow";
inline constexpr const char* SDivByZero = "Division by zero";
inline constexpr const char* SResNotFound = "Resource %s not found";
inline constexpr const char* SIniFileWriteError = "Unable to write to %s";
inline constexpr const char* SRegCreateFailed = "Failed to create key %s";
inline constexpr const char* SRegGetDataFailed = "Failed to get data for '%s'";
inline constexpr const char* SRegSetDataFailed = "Failed to set data for '%s'";
inline constexpr const char* SInvalidRegType = "Invalid data type for '%s'";
}  // namespace messages

}  // namespace hostlib
