#pragma once
// Classic fixed-position edit masks: a mask compiles into one item per
// character position of the edited text, and texts are checked and spread
// over the positions. Masks and texts are single-byte texts.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

enum class TcxCaseControl { ccUpperCase, ccLowerCase, ccUserCase };

// One character position of the edited text.
class TcxStandardMaskCustomItem {
public:
    virtual ~TcxStandardMaskCustomItem() = default;
    // Whether the character fits the position; it may come back rewritten.
    virtual bool Check(char& ch) const = 0;
};

class TcxStandardMaskLiteralItem : public TcxStandardMaskCustomItem {
public:
    explicit TcxStandardMaskLiteralItem(char literal) : FLiteral(literal) {}
    bool Check(char& ch) const override { return ch == FLiteral; }
    char Literal() const { return FLiteral; }

private:
    char FLiteral = '\0';
};

// Base of the editable positions. Check converts the case of the character
// and tests it as it was typed.
class TcxStandardMaskManyItem : public TcxStandardMaskCustomItem {
public:
    bool Check(char& ch) const override;
    TcxCaseControl CaseControl() const { return FCaseControl; }
    void SetCaseControl(TcxCaseControl value) { FCaseControl = value; }
    // The position may stay blank in a complete text.
    bool Optional() const { return FOptional; }
    void SetOptional(bool value) { FOptional = value; }
    void DoCaseControl(char& ch) const;

protected:
    virtual bool Accepts(char ch) const = 0;

private:
    TcxCaseControl FCaseControl = TcxCaseControl::ccUserCase;
    bool FOptional = false;
};

// ASCII letters only.
class TcxStandardMaskAlphaItem : public TcxStandardMaskManyItem {
protected:
    bool Accepts(char ch) const override;
};

class TcxStandardMaskAlphaNumericItem : public TcxStandardMaskManyItem {
protected:
    bool Accepts(char ch) const override;
};

class TcxStandardMaskASCIIItem : public TcxStandardMaskManyItem {
protected:
    bool Accepts(char) const override { return true; }
};

class TcxStandardMaskNumericItem : public TcxStandardMaskManyItem {
protected:
    bool Accepts(char ch) const override;
};

class TcxStandardMaskNumericSymbolItem : public TcxStandardMaskManyItem {
protected:
    bool Accepts(char ch) const override;
};

class TcxStandardMask {
public:
    static constexpr char DefaultBlank = '_';

    // Reads the mask: an optional leading "!", the positions, and an optional
    // trailer ";0" / ";1" with an optional ";<blank>".
    void Compile(const std::string& mask);
    // Frees the items and restores the defaults.
    void Clear();

    // Spreads a text over the positions; the result has Count() characters.
    void Format(std::string& text, bool convertCase = true) const;
    // Turns a full edit text into the value text: blanks become spaces,
    // literals stay only when they are saved.
    void Format2(std::string& text) const;
    // The text may be the beginning of a valid text / is complete. Both
    // apply the case conversion to the passed text.
    bool IsValid(std::string& text) const;
    bool IsFullValid(std::string& text) const;
    // Value text of an empty input: a space for every editable position and
    // the literals when they are saved.
    std::string GetEmptyString() const;
    // Edit text of an empty input: the literals, and Blank in every editable
    // position.
    std::string GetFullEmptyString() const;

    const std::string& Mask() const { return FMask; }
    std::size_t Count() const { return FItems.size(); }
    const TcxStandardMaskCustomItem& Items(std::size_t index) const { return *FItems.at(index); }
    bool IsEditable(std::size_t index) const;
    char Blank() const { return FBlank; }
    void SetBlank(char value) { FBlank = value; }
    bool SaveLiteralChars() const { return FSaveLiteralChars; }
    void SetSaveLiteralChars(bool value) { FSaveLiteralChars = value; }
    // The mask began with "!"; it has no other effect.
    bool LeadingMark() const { return FLeadingMark; }

private:
    void AddEditable(std::unique_ptr<TcxStandardMaskManyItem> item, bool optional, TcxCaseControl caseControl);
    void AddLiteral(char literal);
    bool BlankAtEditable(char ch, std::size_t index) const;

    std::string FMask;
    std::vector<std::unique_ptr<TcxStandardMaskCustomItem>> FItems;
    char FBlank = DefaultBlank;
    bool FSaveLiteralChars = true;
    bool FLeadingMark = false;
};

// Unit functions; each compiles the mask into a temporary TcxStandardMask.
// A blank of '\0' keeps the mask's own blank.
namespace cxStandardMask {
std::string EmptyString(const std::string& mask, char blank = '\0');
std::string FormatText(const std::string& text, const std::string& mask, char blank = '\0');
bool IsTextValid(const std::string& text, const std::string& mask);
bool IsTextFullValid(const std::string& text, const std::string& mask);
char MaskBlank(const std::string& mask);
bool SaveLiteralChars(const std::string& mask);
}  // namespace cxStandardMask
