#pragma once
// Regular expressions of the mask editor: the character tests, quantifiers,
// parse tree and state graph, the automaton that matches one character at a
// time, and the compiler that turns an expression text into the automaton.

#include <cstddef>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/hostlib/core/event.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/streams.h"

// ---------------------------------------------------------------------------
// Character tests. All characters are single bytes.

class TcxRegExprItem {
public:
    virtual ~TcxRegExprItem() = default;
    // Whether the character fits; a case-insensitive symbol test may rewrite it.
    virtual bool Check(char& ch, bool caseInsensitive) const = 0;
    virtual std::unique_ptr<TcxRegExprItem> Clone() const = 0;
};

class TcxRegExprSymbol : public TcxRegExprItem {
public:
    explicit TcxRegExprSymbol(char value) : FValue(value) {}
    bool Check(char& ch, bool caseInsensitive) const override;
    std::unique_ptr<TcxRegExprItem> Clone() const override;
    char Value() const { return FValue; }

private:
    char FValue = '\0';
};

// Compares with the locale's separator at the moment of the test.
class TcxRegExprTimeSeparator : public TcxRegExprItem {
public:
    bool Check(char& ch, bool caseInsensitive) const override;
    std::unique_ptr<TcxRegExprItem> Clone() const override;
    char Value() const;
};

class TcxRegExprDateSeparator : public TcxRegExprItem {
public:
    bool Check(char& ch, bool caseInsensitive) const override;
    std::unique_ptr<TcxRegExprItem> Clone() const override;
    char Value() const;
};

// A range of byte codes; case never matters here.
class TcxRegExprSubrange : public TcxRegExprItem {
public:
    TcxRegExprSubrange(char startValue, char finishValue) : FStartValue(startValue), FFinishValue(finishValue) {}
    bool Check(char& ch, bool caseInsensitive) const override;
    std::unique_ptr<TcxRegExprItem> Clone() const override;
    char StartValue() const { return FStartValue; }
    char FinishValue() const { return FFinishValue; }

private:
    char FStartValue = '\0';
    char FFinishValue = '\0';
};

class TcxRegExprEnumeration : public TcxRegExprItem {
public:
    bool Inverse() const { return FInverse; }
    void SetInverse(bool value) { FInverse = value; }

protected:
    explicit TcxRegExprEnumeration(bool inverse) : FInverse(inverse) {}

private:
    bool FInverse = false;
};

class TcxRegExprUserEnumeration : public TcxRegExprEnumeration {
public:
    explicit TcxRegExprUserEnumeration(bool inverse = false) : TcxRegExprEnumeration(inverse) {}
    bool Check(char& ch, bool caseInsensitive) const override;
    std::unique_ptr<TcxRegExprItem> Clone() const override;
    void Add(std::unique_ptr<TcxRegExprItem> item) { FItems.push_back(std::move(item)); }
    std::size_t Count() const { return FItems.size(); }
    const TcxRegExprItem& Items(std::size_t index) const { return *FItems.at(index); }

private:
    std::vector<std::unique_ptr<TcxRegExprItem>> FItems;
};

class TcxRegExprDigit : public TcxRegExprEnumeration {
public:
    explicit TcxRegExprDigit(bool inverse = false) : TcxRegExprEnumeration(inverse) {}
    bool Check(char& ch, bool caseInsensitive) const override;
    std::unique_ptr<TcxRegExprItem> Clone() const override;
};

class TcxRegExprIdLetter : public TcxRegExprEnumeration {
public:
    explicit TcxRegExprIdLetter(bool inverse = false) : TcxRegExprEnumeration(inverse) {}
    bool Check(char& ch, bool caseInsensitive) const override;
    std::unique_ptr<TcxRegExprItem> Clone() const override;
};

class TcxRegExprSpace : public TcxRegExprEnumeration {
public:
    explicit TcxRegExprSpace(bool inverse = false) : TcxRegExprEnumeration(inverse) {}
    bool Check(char& ch, bool caseInsensitive) const override;
    std::unique_ptr<TcxRegExprItem> Clone() const override;
};

class TcxRegExprAll : public TcxRegExprItem {
public:
    bool Check(char& ch, bool caseInsensitive) const override;
    std::unique_ptr<TcxRegExprItem> Clone() const override;
};

// ---------------------------------------------------------------------------
// Quantifiers.

class TcxRegExprQuantifier {
public:
    virtual ~TcxRegExprQuantifier() = default;
    virtual bool CanMissing() const = 0;
    virtual bool CanRepeat() const = 0;
    virtual std::unique_ptr<TcxRegExprQuantifier> Clone() const = 0;
    virtual std::string Print() const = 0;
};

class TcxRegExprSimpleQuantifier : public TcxRegExprQuantifier {
public:
    bool CanMissing() const override { return false; }
    bool CanRepeat() const override { return false; }
    std::unique_ptr<TcxRegExprQuantifier> Clone() const override;
    std::string Print() const override { return {}; }
};

class TcxRegExprQuestionQuantifier : public TcxRegExprQuantifier {
public:
    bool CanMissing() const override { return true; }
    bool CanRepeat() const override { return false; }
    std::unique_ptr<TcxRegExprQuantifier> Clone() const override;
    std::string Print() const override { return "?"; }
};

class TcxRegExprStarQuantifier : public TcxRegExprQuantifier {
public:
    bool CanMissing() const override { return true; }
    bool CanRepeat() const override { return true; }
    std::unique_ptr<TcxRegExprQuantifier> Clone() const override;
    std::string Print() const override { return "*"; }
};

class TcxRegExprPlusQuantifier : public TcxRegExprQuantifier {
public:
    bool CanMissing() const override { return false; }
    bool CanRepeat() const override { return true; }
    std::unique_ptr<TcxRegExprQuantifier> Clone() const override;
    std::string Print() const override { return "+"; }
};

// ---------------------------------------------------------------------------
// States and state sets.

class TcxRegExprState;
class TcxRegExprSimpleState;

// An ordered set of state references; each state is held once (the first
// occurrence is kept), so alternatives that accept the same character do not
// multiply the set at every step. Never owns its states.
class TcxRegExprStates {
public:
    void Add(TcxRegExprState* state);
    void Add(TcxRegExprStates&& states);
    void Clear();
    std::size_t Count() const { return FStates.size(); }
    TcxRegExprState* State(std::size_t index) const { return FStates.at(index); }
    bool Contains(const TcxRegExprState* state) const;

    TcxRegExprStates Next(char& ch, bool caseInsensitive) const;
    TcxRegExprStates GetAllNextStates() const;
    bool IsFinal() const;
    // True when every member is a simple state testing one fixed character
    // (a symbol or a separator) and all denote the same one, returned in ch.
    bool Equ(char& ch) const;

private:
    friend class TcxRegExprState;
    // Sets of a few states are searched linearly; larger ones keep an index.
    static constexpr std::size_t IndexThreshold = 32;
    std::vector<TcxRegExprState*> FStates;
    std::unordered_set<const TcxRegExprState*> FIndex;
};

class TcxRegExprState {
public:
    virtual ~TcxRegExprState() = default;
    TcxRegExprState() = default;
    TcxRegExprState(const TcxRegExprState&) = delete;
    TcxRegExprState& operator=(const TcxRegExprState&) = delete;

    // The states that stand for this one in a set once it has accepted ch.
    virtual TcxRegExprStates Check(char& ch, bool caseInsensitive);
    // A fresh state with the same test and no successors.
    virtual std::unique_ptr<TcxRegExprState> Clone() const = 0;
    virtual TcxRegExprStates GetSelf();

    void Add(TcxRegExprState* state) { FStates.push_back(state); }
    void Add(TcxRegExprStates&& states);
    TcxRegExprStates Next(char& ch, bool caseInsensitive);
    TcxRegExprStates GetAllNextStates();
    const std::vector<TcxRegExprState*>& States() const { return FStates; }

private:
    std::vector<TcxRegExprState*> FStates;
};

class TcxRegExprSimpleState : public TcxRegExprState {
public:
    // A state without a test is the automaton's start state.
    explicit TcxRegExprSimpleState(std::unique_ptr<TcxRegExprItem> value = nullptr) : FValue(std::move(value)) {}
    TcxRegExprStates Check(char& ch, bool caseInsensitive) override;
    std::unique_ptr<TcxRegExprState> Clone() const override;
    TcxRegExprStates GetSelf() override;

    const TcxRegExprItem* Value() const { return FValue.get(); }
    bool IsFinal() const { return FIsFinal; }
    void SetFinal() { FIsFinal = true; }

private:
    std::unique_ptr<TcxRegExprItem> FValue;
    bool FIsFinal = false;
};

// A pass-through node at the ends of a group; it never stands in a set.
class TcxRegExprBlockState : public TcxRegExprState {
public:
    TcxRegExprStates Check(char& ch, bool caseInsensitive) override;
    std::unique_ptr<TcxRegExprState> Clone() const override;
    TcxRegExprStates GetSelf() override;
};

// ---------------------------------------------------------------------------
// Parse tree.

class TcxRegExprParserAlts;

class TcxRegExprParserItem {
public:
    explicit TcxRegExprParserItem(std::unique_ptr<TcxRegExprQuantifier> quantifier = nullptr);
    virtual ~TcxRegExprParserItem() = default;
    TcxRegExprParserItem(const TcxRegExprParserItem&) = delete;
    TcxRegExprParserItem& operator=(const TcxRegExprParserItem&) = delete;

    // Whether the item can match the empty text.
    virtual bool CanEmpty() const = 0;
    virtual std::unique_ptr<TcxRegExprParserItem> Clone() const = 0;
    virtual std::string Print() const = 0;
    virtual void SetFinal() = 0;
    // Where the graph enters and leaves the item.
    virtual TcxRegExprState* EntryState() = 0;
    virtual TcxRegExprState* ExitState() = 0;
    // Wires the inside of the item (groups only).
    virtual void CreateInnerConnections() {}
    // Number of states the item holds and how deeply groups nest in it, for
    // the size limits of the compiler.
    virtual std::size_t StateCount() const = 0;
    virtual std::size_t Depth() const = 0;

    bool CanMissing() const { return FQuantifier->CanMissing(); }
    bool CanRepeat() const { return FQuantifier->CanRepeat(); }
    bool NotQuantifier() const;
    const TcxRegExprQuantifier& Quantifier() const { return *FQuantifier; }
    void SetQuantifier(std::unique_ptr<TcxRegExprQuantifier> quantifier);

private:
    std::unique_ptr<TcxRegExprQuantifier> FQuantifier;
};

class TcxRegExprParserSimpleItem : public TcxRegExprParserItem {
public:
    explicit TcxRegExprParserSimpleItem(std::unique_ptr<TcxRegExprItem> test,
                                        std::unique_ptr<TcxRegExprQuantifier> quantifier = nullptr);
    bool CanEmpty() const override { return CanMissing(); }
    std::unique_ptr<TcxRegExprParserItem> Clone() const override;
    std::string Print() const override;
    void SetFinal() override { FState->SetFinal(); }
    TcxRegExprState* EntryState() override { return FState.get(); }
    TcxRegExprState* ExitState() override { return FState.get(); }
    std::size_t StateCount() const override { return 1; }
    std::size_t Depth() const override { return 0; }
    TcxRegExprSimpleState& State() { return *FState; }

private:
    std::unique_ptr<TcxRegExprSimpleState> FState;
};

class TcxRegExprParserAlt {
public:
    std::size_t Count() const { return FItems.size(); }
    TcxRegExprParserItem& Item(std::size_t index) { return *FItems.at(index); }
    TcxRegExprParserItem* GetFirstItem();
    TcxRegExprParserItem* GetLastItem();
    // Replaces the last item; the replaced one is handed back to the caller.
    std::unique_ptr<TcxRegExprParserItem> SetLastItem(std::unique_ptr<TcxRegExprParserItem> item);
    void Add(std::unique_ptr<TcxRegExprParserItem> item) { FItems.push_back(std::move(item)); }
    bool CanEmpty() const;
    bool CanMissing() const;
    std::unique_ptr<TcxRegExprParserAlt> Clone() const;
    void CreateConnections();
    void CreateFinalStates();
    void GetStartConnections(std::vector<TcxRegExprState*>& out);
    void SetFinishConnection(TcxRegExprState* state);
    std::string Print() const;
    std::size_t StateCount() const;
    std::size_t Depth() const;

private:
    std::vector<std::unique_ptr<TcxRegExprParserItem>> FItems;
};

class TcxRegExprParserAlts {
public:
    void Add(std::unique_ptr<TcxRegExprParserAlt> alt) { FAlts.push_back(std::move(alt)); }
    TcxRegExprParserAlt& AddAlt();
    TcxRegExprParserAlt& GetAlt(std::size_t index) { return *FAlts.at(index); }
    TcxRegExprParserAlt* GetLastAlt() { return FAlts.empty() ? nullptr : FAlts.back().get(); }
    std::size_t Count() const { return FAlts.size(); }
    bool CanEmpty() const;
    bool StartStateIsFinal() const;
    bool ThereIsEmptyAlt() const;
    void CreateConnections();
    void CreateFinalStates();
    void GetStartConnections(std::vector<TcxRegExprState*>& out);
    void SetFinishConnections(TcxRegExprState* state);
    std::unique_ptr<TcxRegExprParserAlts> Clone() const;
    std::string Print() const;
    std::size_t StateCount() const;
    std::size_t Depth() const;
    // Hands the alternatives over, leaving this list empty.
    std::vector<std::unique_ptr<TcxRegExprParserAlt>> TakeAlts() { return std::move(FAlts); }

private:
    std::vector<std::unique_ptr<TcxRegExprParserAlt>> FAlts;
};

class TcxRegExprParserBlockItem : public TcxRegExprParserItem {
public:
    explicit TcxRegExprParserBlockItem(std::unique_ptr<TcxRegExprQuantifier> quantifier = nullptr);
    bool CanEmpty() const override;
    std::unique_ptr<TcxRegExprParserItem> Clone() const override;
    std::string Print() const override;
    void SetFinal() override { FAlts->CreateFinalStates(); }
    TcxRegExprState* EntryState() override { return FStartState.get(); }
    TcxRegExprState* ExitState() override { return FFinishState.get(); }
    void CreateInnerConnections() override;
    std::size_t StateCount() const override { return 2 + FAlts->StateCount(); }
    std::size_t Depth() const override { return 1 + FAlts->Depth(); }

    TcxRegExprParserAlt& AddAlt() { return FAlts->AddAlt(); }
    void AddAlts(std::unique_ptr<TcxRegExprParserAlts> alts);
    TcxRegExprParserAlts& Alts() { return *FAlts; }

private:
    std::unique_ptr<TcxRegExprParserAlts> FAlts = std::make_unique<TcxRegExprParserAlts>();
    std::unique_ptr<TcxRegExprBlockState> FStartState = std::make_unique<TcxRegExprBlockState>();
    std::unique_ptr<TcxRegExprBlockState> FFinishState = std::make_unique<TcxRegExprBlockState>();
};

// ---------------------------------------------------------------------------
// Automaton.

class TcxRegExpr;

class TcxRegExprAutomat {
public:
    // Takes the parsed and wired tree.
    TcxRegExprAutomat(std::unique_ptr<TcxRegExprParserAlts> expr, TcxRegExpr* owner);
    TcxRegExprAutomat(const TcxRegExprAutomat&) = delete;
    TcxRegExprAutomat& operator=(const TcxRegExprAutomat&) = delete;

    bool Next(char& ch, bool caseInsensitive);
    bool Prev();
    void Reset();
    bool IsFinal() const { return FCurrentStates.IsFinal(); }
    bool IsStart() const;
    TcxRegExprStates GetAllNextStates() const { return FCurrentStates.GetAllNextStates(); }
    // Appends the characters that are forced while the text cannot end yet.
    void Update();
    // Removes forced characters before stepping back.
    void ReUpdate();
    std::string Print() const { return FExpr->Print(); }

    const TcxRegExprStates& CurrentStates() const { return FCurrentStates; }
    const TcxRegExprSimpleState& StartState() const { return *FStartState; }
    std::size_t HistoryCount() const { return FHistory.size(); }

private:
    std::unique_ptr<TcxRegExprParserAlts> FExpr;
    std::unique_ptr<TcxRegExprSimpleState> FStartState = std::make_unique<TcxRegExprSimpleState>();
    TcxRegExprStates FCurrentStates;
    std::vector<TcxRegExprStates> FHistory;
    TcxRegExpr* FOwner = nullptr;
};

// ---------------------------------------------------------------------------
// Compiler.

enum class TcxRegExprLexemCode {
    relcSymbol,
    relcSpecial,
    relcInteger,
    relcAll,
    relcId,
    relcNotId,
    relcDigit,
    relcNotDigit,
    relcSpace,
    relcNotSpace,
    relcReference,
    relcDateSeparator,
    relcTimeSeparator
};

struct TcxLexem {
    int Char = 0;
    TcxRegExprLexemCode Code = TcxRegExprLexemCode::relcSymbol;
    int Line = 0;
    std::string Value;
};

class TcxLexems {
public:
    void Add(const TcxLexem& lexem) { FItems.push_back(lexem); }
    void Clear() { FItems.clear(); }
    std::size_t Count() const { return FItems.size(); }
    const TcxLexem& Items(std::size_t index) const { return FItems.at(index); }

private:
    std::vector<TcxLexem> FItems;
};

class TcxRegExprError {
public:
    TcxRegExprError(int line, int ch, std::string message) : FLine(line), FChar(ch), FMessage(std::move(message)) {}
    int Line() const { return FLine; }
    int Char() const { return FChar; }
    const std::string& Message() const { return FMessage; }
    std::unique_ptr<TcxRegExprError> Clone() const { return std::make_unique<TcxRegExprError>(*this); }
    // "Line<n>, Char<m>: <message>"; the prefix only where a line is known.
    std::string GetFullMessage() const;

private:
    int FLine = 0;
    int FChar = 0;
    std::string FMessage;
};

class TcxRegExprErrors {
public:
    TcxRegExprErrors() = default;
    TcxRegExprErrors(const TcxRegExprErrors& other) { Assign(other); }
    TcxRegExprErrors& operator=(const TcxRegExprErrors& other);
    TcxRegExprErrors(TcxRegExprErrors&&) = default;
    TcxRegExprErrors& operator=(TcxRegExprErrors&&) = default;

    void Add(std::unique_ptr<TcxRegExprError> error) { FItems.push_back(std::move(error)); }
    void Clear() { FItems.clear(); }
    // A deep copy.
    TcxRegExprErrors Clone() const { return *this; }
    std::size_t Count() const { return FItems.size(); }
    const TcxRegExprError& Items(std::size_t index) const { return *FItems.at(index); }

private:
    void Assign(const TcxRegExprErrors& other);
    std::vector<std::unique_ptr<TcxRegExprError>> FItems;
};

// Raised with every error of the failed phase. Its own message is empty: the
// catcher builds one from the errors. It carries its own copy of the errors,
// so it outlives the expression that raised it.
class EcxRegExprError : public hostlib::Exception {
public:
    explicit EcxRegExprError(TcxRegExprErrors errors) : hostlib::Exception(std::string()), FErrors(std::move(errors)) {}
    const char* ClassName() const override { return "EcxRegExprError"; }
    const TcxRegExprErrors& Errors() const { return FErrors; }

private:
    TcxRegExprErrors FErrors;
};

class TcxRegExpr {
public:
    TcxRegExpr();
    ~TcxRegExpr();
    TcxRegExpr(const TcxRegExpr&) = delete;
    TcxRegExpr& operator=(const TcxRegExpr&) = delete;

    // Compiles the stream's text; raises EcxRegExprError with the errors of
    // the first phase that found any. A null stream counts as not assigned.
    void Compile(hostlib::TStream* stream);
    void Compile(const std::string& text);
    void Clear();

    bool IsCompiled() const { return FCompiled; }
    // The source text of a compiled expression, else null.
    hostlib::TMemoryStream* GetStream() const;

    bool Next(char& ch);
    std::string NextEx(const std::string& text);
    bool Prev();
    void Reset();
    bool IsFinal() const;
    bool IsStart() const;
    std::string Print() const;

    bool UpdateOn() const { return FUpdateOn; }
    void SetUpdateOn(bool value);
    bool CaseInsensitive() const { return FCaseInsensitive; }
    void SetCaseInsensitive(bool value) { FCaseInsensitive = value; }

    // Told by the automaton while it removes or inserts forced characters.
    void SymbolDelete();
    void SymbolUpdate(char ch);
    hostlib::Event<> OnSymbolDelete;
    hostlib::Event<char> OnSymbolUpdate;

    const TcxRegExprErrors& Errors() const { return FErrors; }
    const TcxLexems& Lexems() const { return FLexems; }
    const TcxRegExprAutomat* Automat() const { return FAutomat.get(); }
    int Line() const { return FLine; }
    int Char() const { return FChar; }

    // Limits that keep hostile expressions from exhausting the process: the
    // nesting depth of groups and the number of states one tree may hold.
    static constexpr std::size_t MaxNestingDepth = 128;
    static constexpr std::size_t MaxStateCount = 4096;

private:
    enum class AltEnd { Text, Bar, Close };

    void BeginCompile();
    void CompileText();
    void CheckCompiled() const;
    void AddError(int line, int ch, const std::string& message);
    void AddLexemError(const TcxLexem& lexem, const std::string& message);

    // Scanning.
    bool ReadByte(char& ch);
    bool PeekNonBlank(char& ch) const;
    void AddLexem(TcxRegExprLexemCode code, std::string value);
    void ScanExpr();
    void ScanString();
    void ScanEscape(bool inClass);
    void ScanClass();
    void ScanQuantifier();

    // Parsing.
    const TcxLexem* NextLexem();
    const TcxLexem* PeekLexem() const;
    void ParseExpr();
    AltEnd ParseAlt(TcxRegExprParserAlt& alt, bool topLevel, std::size_t depth);
    void ParseBlock(TcxRegExprParserAlt& alt, const TcxLexem& open, std::size_t depth);
    void ParseEnumeration(TcxRegExprParserAlt& alt);
    void ParseQuantifier(TcxRegExprParserAlt& alt, const TcxLexem& start);
    bool ApplyQuantifier(TcxRegExprParserAlt& alt, std::unique_ptr<TcxRegExprQuantifier> quantifier);
    bool ReserveStates(std::size_t count);
    void StopParsing();
    void Discard(std::unique_ptr<TcxRegExprParserItem> item);

    std::string FText;
    std::unique_ptr<hostlib::TMemoryStream> FStream;
    TcxRegExprErrors FErrors;
    TcxLexems FLexems;
    std::vector<TcxRegExprParserBlockItem*> FReferences;
    // Items taken out of the tree while parsing; kept so that the group list
    // never refers to freed items.
    std::vector<std::unique_ptr<TcxRegExprParserItem>> FDiscarded;
    std::unique_ptr<TcxRegExprParserAlts> FTree;
    std::unique_ptr<TcxRegExprAutomat> FAutomat;
    std::size_t FScanPos = 0;
    std::size_t FLexemPos = 0;
    std::size_t FStateCount = 0;
    int FLine = 1;
    int FChar = 0;
    bool FFirstCompile = true;
    bool FCompiled = false;
    bool FUpdateOn = false;
    bool FCaseInsensitive = false;
};

// Unit functions: compile the expression into a temporary object and feed
// the text to it. IsTextValid: every character accepted; IsTextFullValid:
// also a complete match. Compile errors raise EcxRegExprError.
namespace cxRegExpr {
bool IsTextValid(const std::string& text, const std::string& expr);
bool IsTextFullValid(const std::string& text, const std::string& expr);
// The text as a quoted literal of an expression (apostrophes doubled).
std::string QuotedText(const std::string& text);
}  // namespace cxRegExpr
