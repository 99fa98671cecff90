#pragma once
// Messages and words of the editor framework's masks, regular expressions
// and date input, as string-table entries (identifier and text), read
// through cxGetResourceString so that a program can replace them.

#include "components/foundation/cxClasses.h"

// Regular-expression compiler.
inline constexpr TcxResourceString scxRegExprMissing{65312, "Missing '%s'"};
inline constexpr TcxResourceString scxRegExprUnnecessary{65313, "Unnecessary '%s'"};
inline constexpr TcxResourceString scxRegExprIncorrectSpace{65314, "The space character is not allowed after '\\'"};
inline constexpr TcxResourceString scxRegExprNotCompiled{65315, "Regular expression is not compiled"};
inline constexpr TcxResourceString scxRegExprIncorrectParameterQuantifier{65316, "Incorrect parameter quantifier"};
inline constexpr TcxResourceString scxRegExprCantUseParameterQuantifier{
    65317, "The parameter quantifier cannot be applied here"};
inline constexpr TcxResourceString scxRegExprLine{65359, "Line"};
inline constexpr TcxResourceString scxRegExprChar{65328, "Char"};
inline constexpr TcxResourceString scxRegExprNotAssignedSourceStream{65329, "The source stream is not assigned"};
inline constexpr TcxResourceString scxRegExprEmptySourceStream{65330, "The source stream is empty"};
inline constexpr TcxResourceString scxRegExprCantUsePlusQuantifier{65331, "The '+' quantifier cannot be applied here"};
inline constexpr TcxResourceString scxRegExprCantUseStarQuantifier{65332, "The '*' quantifier cannot be applied here"};
inline constexpr TcxResourceString scxRegExprCantCreateEmptyAlt{65333, "The alternative should not be empty"};
inline constexpr TcxResourceString scxRegExprCantCreateEmptyBlock{65334, "The block should not be empty"};
inline constexpr TcxResourceString scxRegExprIllegalSymbol{65335, "Illegal '%s'"};
inline constexpr TcxResourceString scxRegExprIllegalQuantifier{65336, "Illegal quantifier '%s'"};
inline constexpr TcxResourceString scxRegExprNotSupportQuantifier{65337, "The parameter quantifiers are not supported"};
inline constexpr TcxResourceString scxRegExprIllegalIntegerValue{65338, "Illegal integer value"};
inline constexpr TcxResourceString scxRegExprTooBigReferenceNumber{65339, "Too big reference number"};
inline constexpr TcxResourceString scxRegExprCantCreateEmptyEnum{65340, "Can't create empty enumeration"};
inline constexpr TcxResourceString scxRegExprSubrangeOrder{
    65341, "The starting character of the subrange must be less than the finishing one"};
inline constexpr TcxResourceString scxRegExprHexNumberExpected0{65342, "Hexadecimal number expected"};
inline constexpr TcxResourceString scxRegExprHexNumberExpected{65343, "Hexadecimal number expected but '%s' found"};

// Masked editor.
inline constexpr TcxResourceString scxMaskEditRegExprError{65318, "Regular expression errors:"};
inline constexpr TcxResourceString scxMaskEditInvalidEditValue{65319, "The edit value is invalid"};

// Smart date input words, indexed by their meaning.
inline constexpr TcxResourceString cxSDateToday{65381, "today"};
inline constexpr TcxResourceString cxSDateYesterday{65382, "yesterday"};
inline constexpr TcxResourceString cxSDateTomorrow{65383, "tomorrow"};
inline constexpr TcxResourceString cxSDateSunday{65384, "Sunday"};
inline constexpr TcxResourceString cxSDateMonday{65385, "Monday"};
inline constexpr TcxResourceString cxSDateTuesday{65386, "Tuesday"};
inline constexpr TcxResourceString cxSDateWednesday{65387, "Wednesday"};
inline constexpr TcxResourceString cxSDateThursday{65388, "Thursday"};
inline constexpr TcxResourceString cxSDateFriday{65389, "Friday"};
inline constexpr TcxResourceString cxSDateSaturday{65390, "Saturday"};
inline constexpr TcxResourceString cxSDateFirst{65391, "first"};
inline constexpr TcxResourceString cxSDateSecond{65360, "second"};
inline constexpr TcxResourceString cxSDateThird{65361, "third"};
inline constexpr TcxResourceString cxSDateFourth{65362, "fourth"};
inline constexpr TcxResourceString cxSDateFifth{65363, "fifth"};
inline constexpr TcxResourceString cxSDateSixth{65364, "sixth"};
inline constexpr TcxResourceString cxSDateSeventh{65365, "seventh"};
inline constexpr TcxResourceString cxSDateBOM{65366, "bom"};
inline constexpr TcxResourceString cxSDateEOM{65367, "eom"};
inline constexpr TcxResourceString cxSDateNow{65368, "now"};

// Editor framework messages.
inline constexpr TcxResourceString cxSEditDateConvertError{64000, "Could not convert to date"};
inline constexpr TcxResourceString cxSEditInvalidRepositoryItem{64001, "The repository item is not acceptable"};
inline constexpr TcxResourceString cxSEditNumericValueConvertError{64002, "Could not convert to numeric value"};
inline constexpr TcxResourceString cxSEditPopupCircularReferencingError{64003, "Circular referencing is not allowed"};
inline constexpr TcxResourceString cxSEditPostError{64004, "An error occured during posting edit value"};
inline constexpr TcxResourceString cxSEditTimeConvertError{64005, "Could not convert to time"};
inline constexpr TcxResourceString cxSEditValidateErrorText{
    64006, "Invalid input value. Use escape key to abandon changes"};
inline constexpr TcxResourceString cxSEditValueOutOfBounds{64007, "Value out of bounds"};
// What the hyperlink editor puts in front of an address without one.
inline constexpr TcxResourceString cxSEditHyperLinkPrefix{64008, "http://"};

// Registration texts of the editor kinds: name, "|", description.
inline constexpr TcxResourceString scxSEditRepositoryBlobItem{64010, "BlobEdit|Represents the BLOB editor"};
inline constexpr TcxResourceString scxSEditRepositoryButtonItem{
    64011, "ButtonEdit|Represents an edit control with embedded buttons"};
inline constexpr TcxResourceString scxSEditRepositoryCalcItem{
    64012, "CalcEdit|Represents an edit control with a dropdown calculator window"};
inline constexpr TcxResourceString scxSEditRepositoryCheckBoxItem{
    64013, "CheckBox|Represents a check box control that allows selecting an option"};
inline constexpr TcxResourceString scxSEditRepositoryComboBoxItem{64014, "ComboBox|Represents the combo box editor"};
inline constexpr TcxResourceString scxSEditRepositoryCurrencyItem{
    64015, "CurrencyEdit|Represents an editor enabling editing currency data"};
inline constexpr TcxResourceString scxSEditRepositoryDateItem{
    64016, "DateEdit|Represents an edit control with a dropdown calendar"};
inline constexpr TcxResourceString scxSEditRepositoryHyperLinkItem{
    64017, "HyperLink|Represents a text editor with hyperlink functionality"};
inline constexpr TcxResourceString scxSEditRepositoryImageComboBoxItem{
    64018, "ImageComboBox|Represents an editor displaying the list of images and text strings within the dropdown "
           "window"};
inline constexpr TcxResourceString scxSEditRepositoryImageItem{64019, "Image|Represents an image editor"};
inline constexpr TcxResourceString scxSEditRepositoryLookupComboBoxItem{
    64020, "LookupComboBox|Represents a lookup combo box control"};
inline constexpr TcxResourceString scxSEditRepositoryMaskItem{
    64021, "MaskEdit|Represents a generic masked edit control."};
inline constexpr TcxResourceString scxSEditRepositoryMemoItem{
    64022, "Memo|Represents an edit control that allows editing memo data"};
inline constexpr TcxResourceString scxSEditRepositoryMRUItem{
    64023, "MRUEdit|Represents a text editor displaying the list of most recently used items (MRU) within a dropdown "
           "window"};
inline constexpr TcxResourceString scxSEditRepositoryPopupItem{
    64024, "PopupEdit|Represents an edit control with a dropdown list"};
inline constexpr TcxResourceString scxSEditRepositorySpinItem{64025, "SpinEdit|Represents a spin editor"};
inline constexpr TcxResourceString scxSEditRepositoryRadioGroupItem{
    64026, "RadioGroup|Represents a group of radio buttons"};
inline constexpr TcxResourceString scxSEditRepositoryTextItem{64027, "TextEdit|Represents a single line text editor"};
inline constexpr TcxResourceString scxSEditRepositoryTimeItem{
    64028, "TimeEdit|Represents an editor displaying time values"};
