#include "components/editors/cxRegExpr.h"

#include <algorithm>
#include <limits>

#include "components/editors/cxEditConsts.h"
#include "components/foundation/cxClasses.h"
#include "platform/hostlib/core/format_settings.h"
#include "platform/hostlib/core/format.h"
#include "platform/system/text_conversion.h"

namespace {

bool IsBlankByte(char ch)
{
    switch (static_cast<unsigned char>(ch)) {
    case 0: case 9: case 10: case 12: case 13: case 32: return true;
    default: return false;
    }
}

bool IsDigitByte(char ch) { return ch >= '0' && ch <= '9'; }

// Texts are single bytes here; a byte above 127 is not a character of its
// own in the locale's text, so only ASCII letters change case.
char LocaleUpper(char ch) { return hostlib::UpperCase(std::string_view(&ch, 1))[0]; }

std::string Res(const TcxResourceString& res) { return cxGetResourceString(res); }

// "%s" in a message is filled with the one argument.
std::string ResFmt(const TcxResourceString& res, const std::string& arg)
{
    std::string text = Res(res);
    const auto pos = text.find("%s");
    if (pos != std::string::npos) text.replace(pos, 2, arg);
    return text;
}

const std::string kQuoteArg = " ' ";

}  // namespace

// ---------------------------------------------------------------------------
// Character tests.

bool TcxRegExprSymbol::Check(char& ch, bool caseInsensitive) const
{
    if (ch == FValue) return true;
    if (caseInsensitive && LocaleUpper(ch) == LocaleUpper(FValue)) {
        ch = FValue;  // the expression's case wins
        return true;
    }
    return false;
}

std::unique_ptr<TcxRegExprItem> TcxRegExprSymbol::Clone() const { return std::make_unique<TcxRegExprSymbol>(FValue); }

char TcxRegExprTimeSeparator::Value() const { return hostlib::FormatSettings().TimeSeparator; }

bool TcxRegExprTimeSeparator::Check(char& ch, bool) const { return ch == Value(); }

std::unique_ptr<TcxRegExprItem> TcxRegExprTimeSeparator::Clone() const
{
    return std::make_unique<TcxRegExprTimeSeparator>();
}

char TcxRegExprDateSeparator::Value() const { return hostlib::FormatSettings().DateSeparator; }

bool TcxRegExprDateSeparator::Check(char& ch, bool) const { return ch == Value(); }

std::unique_ptr<TcxRegExprItem> TcxRegExprDateSeparator::Clone() const
{
    return std::make_unique<TcxRegExprDateSeparator>();
}

bool TcxRegExprSubrange::Check(char& ch, bool) const
{
    const auto code = static_cast<unsigned char>(ch);
    return static_cast<unsigned char>(FStartValue) <= code && code <= static_cast<unsigned char>(FFinishValue);
}

std::unique_ptr<TcxRegExprItem> TcxRegExprSubrange::Clone() const
{
    return std::make_unique<TcxRegExprSubrange>(FStartValue, FFinishValue);
}

bool TcxRegExprUserEnumeration::Check(char& ch, bool caseInsensitive) const
{
    // An inverse class accepts only characters none of its items knows, so a
    // symbol item must not rewrite the character it then rejects.
    char probe = ch;
    bool found = false;
    for (const auto& item : FItems) {
        if (item->Check(probe, caseInsensitive)) {
            found = true;
            break;
        }
    }
    if (Inverse()) return !found;
    if (found) ch = probe;
    return found;
}

std::unique_ptr<TcxRegExprItem> TcxRegExprUserEnumeration::Clone() const
{
    auto copy = std::make_unique<TcxRegExprUserEnumeration>(Inverse());
    for (const auto& item : FItems) copy->Add(item->Clone());
    return copy;
}

bool TcxRegExprDigit::Check(char& ch, bool) const { return IsDigitByte(ch) != Inverse(); }

std::unique_ptr<TcxRegExprItem> TcxRegExprDigit::Clone() const { return std::make_unique<TcxRegExprDigit>(Inverse()); }

bool TcxRegExprIdLetter::Check(char& ch, bool) const
{
    const bool id = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || IsDigitByte(ch) || ch == '_';
    return id != Inverse();
}

std::unique_ptr<TcxRegExprItem> TcxRegExprIdLetter::Clone() const
{
    return std::make_unique<TcxRegExprIdLetter>(Inverse());
}

bool TcxRegExprSpace::Check(char& ch, bool) const { return IsBlankByte(ch) != Inverse(); }

std::unique_ptr<TcxRegExprItem> TcxRegExprSpace::Clone() const { return std::make_unique<TcxRegExprSpace>(Inverse()); }

bool TcxRegExprAll::Check(char&, bool) const { return true; }

std::unique_ptr<TcxRegExprItem> TcxRegExprAll::Clone() const { return std::make_unique<TcxRegExprAll>(); }

// ---------------------------------------------------------------------------
// Quantifiers.

std::unique_ptr<TcxRegExprQuantifier> TcxRegExprSimpleQuantifier::Clone() const
{
    return std::make_unique<TcxRegExprSimpleQuantifier>();
}

std::unique_ptr<TcxRegExprQuantifier> TcxRegExprQuestionQuantifier::Clone() const
{
    return std::make_unique<TcxRegExprQuestionQuantifier>();
}

std::unique_ptr<TcxRegExprQuantifier> TcxRegExprStarQuantifier::Clone() const
{
    return std::make_unique<TcxRegExprStarQuantifier>();
}

std::unique_ptr<TcxRegExprQuantifier> TcxRegExprPlusQuantifier::Clone() const
{
    return std::make_unique<TcxRegExprPlusQuantifier>();
}

// ---------------------------------------------------------------------------
// State sets.

namespace {

// Visits, once each, the simple states reached from the successors of the
// given states, passing through block states without recursion: a long row
// of groups that can match the empty text must not exhaust the stack, and a
// state reached on several paths is visited once. The union over the states
// comes out in the order of the per-state unions.
template <class Visit>
void WalkSimpleStates(const std::vector<TcxRegExprState*>& from, Visit visit)
{
    std::vector<TcxRegExprState*> stack;
    for (auto it = from.rbegin(); it != from.rend(); ++it) {
        const auto& next = (*it)->States();
        stack.insert(stack.end(), next.rbegin(), next.rend());
    }
    std::unordered_set<const TcxRegExprState*> seen;
    while (!stack.empty()) {
        auto* state = stack.back();
        stack.pop_back();
        if (!seen.insert(state).second) continue;
        if (auto* simple = dynamic_cast<TcxRegExprSimpleState*>(state)) {
            visit(*simple);
        } else {
            const auto& next = state->States();
            stack.insert(stack.end(), next.rbegin(), next.rend());
        }
    }
}

}  // namespace

TcxRegExprStates TcxRegExprStates::Next(char& ch, bool caseInsensitive) const
{
    TcxRegExprStates result;
    WalkSimpleStates(FStates, [&](TcxRegExprSimpleState& state) { result.Add(state.Check(ch, caseInsensitive)); });
    return result;
}

TcxRegExprStates TcxRegExprStates::GetAllNextStates() const
{
    TcxRegExprStates result;
    WalkSimpleStates(FStates, [&](TcxRegExprSimpleState& state) { result.Add(&state); });
    return result;
}

bool TcxRegExprStates::Contains(const TcxRegExprState* state) const
{
    if (!FIndex.empty()) return FIndex.contains(state);
    return std::find(FStates.begin(), FStates.end(), state) != FStates.end();
}

void TcxRegExprStates::Add(TcxRegExprState* state)
{
    if (!state || Contains(state)) return;
    FStates.push_back(state);
    if (!FIndex.empty()) {
        FIndex.insert(state);
    } else if (FStates.size() > IndexThreshold) {
        FIndex.insert(FStates.begin(), FStates.end());
    }
}

void TcxRegExprStates::Add(TcxRegExprStates&& states)
{
    for (auto* state : states.FStates) Add(state);
    states.Clear();
}

void TcxRegExprStates::Clear()
{
    FStates.clear();
    FIndex.clear();
}


bool TcxRegExprStates::IsFinal() const
{
    return std::any_of(FStates.begin(), FStates.end(), [](const TcxRegExprState* state) {
        const auto* simple = dynamic_cast<const TcxRegExprSimpleState*>(state);
        return simple && simple->IsFinal();
    });
}

bool TcxRegExprStates::Equ(char& ch) const
{
    if (FStates.empty()) return false;
    bool first = true;
    char common = '\0';
    for (const auto* state : FStates) {
        const auto* simple = dynamic_cast<const TcxRegExprSimpleState*>(state);
        if (!simple || !simple->Value()) return false;
        char value = '\0';
        if (const auto* symbol = dynamic_cast<const TcxRegExprSymbol*>(simple->Value())) {
            value = symbol->Value();
        } else if (const auto* time = dynamic_cast<const TcxRegExprTimeSeparator*>(simple->Value())) {
            value = time->Value();
        } else if (const auto* date = dynamic_cast<const TcxRegExprDateSeparator*>(simple->Value())) {
            value = date->Value();
        } else {
            return false;
        }
        if (first) {
            common = value;
            first = false;
        } else if (value != common) {
            return false;
        }
    }
    ch = common;
    return true;
}

// ---------------------------------------------------------------------------
// States.

TcxRegExprStates TcxRegExprState::Check(char&, bool) { return {}; }

TcxRegExprStates TcxRegExprState::GetSelf() { return {}; }

void TcxRegExprState::Add(TcxRegExprStates&& states)
{
    for (std::size_t i = 0; i < states.Count(); ++i) FStates.push_back(states.State(i));
    states.Clear();
}


TcxRegExprStates TcxRegExprState::Next(char& ch, bool caseInsensitive)
{
    TcxRegExprStates self;
    self.FStates.push_back(this);
    return self.Next(ch, caseInsensitive);
}

TcxRegExprStates TcxRegExprState::GetAllNextStates()
{
    TcxRegExprStates self;
    self.FStates.push_back(this);
    return self.GetAllNextStates();
}

TcxRegExprStates TcxRegExprSimpleState::Check(char& ch, bool caseInsensitive)
{
    TcxRegExprStates result;
    if (FValue && FValue->Check(ch, caseInsensitive)) result.Add(this);
    return result;
}

std::unique_ptr<TcxRegExprState> TcxRegExprSimpleState::Clone() const
{
    return std::make_unique<TcxRegExprSimpleState>(FValue ? FValue->Clone() : nullptr);
}

TcxRegExprStates TcxRegExprSimpleState::GetSelf()
{
    TcxRegExprStates result;
    result.Add(this);
    return result;
}

TcxRegExprStates TcxRegExprBlockState::Check(char& ch, bool caseInsensitive) { return Next(ch, caseInsensitive); }

std::unique_ptr<TcxRegExprState> TcxRegExprBlockState::Clone() const { return std::make_unique<TcxRegExprBlockState>(); }

TcxRegExprStates TcxRegExprBlockState::GetSelf() { return GetAllNextStates(); }

// ---------------------------------------------------------------------------
// Parse tree.

TcxRegExprParserItem::TcxRegExprParserItem(std::unique_ptr<TcxRegExprQuantifier> quantifier)
    : FQuantifier(quantifier ? std::move(quantifier) : std::make_unique<TcxRegExprSimpleQuantifier>())
{
}

bool TcxRegExprParserItem::NotQuantifier() const
{
    return dynamic_cast<const TcxRegExprSimpleQuantifier*>(FQuantifier.get()) != nullptr;
}

void TcxRegExprParserItem::SetQuantifier(std::unique_ptr<TcxRegExprQuantifier> quantifier)
{
    if (quantifier) FQuantifier = std::move(quantifier);
}

TcxRegExprParserSimpleItem::TcxRegExprParserSimpleItem(std::unique_ptr<TcxRegExprItem> test,
                                                       std::unique_ptr<TcxRegExprQuantifier> quantifier)
    : TcxRegExprParserItem(std::move(quantifier)), FState(std::make_unique<TcxRegExprSimpleState>(std::move(test)))
{
}

std::unique_ptr<TcxRegExprParserItem> TcxRegExprParserSimpleItem::Clone() const
{
    return std::make_unique<TcxRegExprParserSimpleItem>(FState->Value() ? FState->Value()->Clone() : nullptr,
                                                        Quantifier().Clone());
}

std::string TcxRegExprParserSimpleItem::Print() const { return "item --> " + Quantifier().Print() + "\r\n"; }

TcxRegExprParserItem* TcxRegExprParserAlt::GetFirstItem() { return FItems.empty() ? nullptr : FItems.front().get(); }

TcxRegExprParserItem* TcxRegExprParserAlt::GetLastItem() { return FItems.empty() ? nullptr : FItems.back().get(); }

std::unique_ptr<TcxRegExprParserItem> TcxRegExprParserAlt::SetLastItem(std::unique_ptr<TcxRegExprParserItem> item)
{
    if (FItems.empty()) {
        FItems.push_back(std::move(item));
        return nullptr;
    }
    std::swap(FItems.back(), item);
    return item;
}

bool TcxRegExprParserAlt::CanEmpty() const
{
    return std::all_of(FItems.begin(), FItems.end(), [](const auto& item) { return item->CanEmpty(); });
}

bool TcxRegExprParserAlt::CanMissing() const
{
    return std::all_of(FItems.begin(), FItems.end(), [](const auto& item) { return item->CanMissing(); });
}

std::unique_ptr<TcxRegExprParserAlt> TcxRegExprParserAlt::Clone() const
{
    auto copy = std::make_unique<TcxRegExprParserAlt>();
    for (const auto& item : FItems) copy->Add(item->Clone());
    return copy;
}

void TcxRegExprParserAlt::CreateConnections()
{
    for (std::size_t i = 0; i < FItems.size(); ++i) {
        auto& item = *FItems[i];
        for (std::size_t j = i + 1; j < FItems.size(); ++j) {
            item.ExitState()->Add(FItems[j]->EntryState());
            if (!FItems[j]->CanMissing()) break;
        }
        if (item.CanRepeat()) item.ExitState()->Add(item.EntryState());
        item.CreateInnerConnections();
    }
}

void TcxRegExprParserAlt::CreateFinalStates()
{
    // Marked from the end while the text could stop before the item just
    // marked: an item that can match the empty text lets the one before end.
    for (auto it = FItems.rbegin(); it != FItems.rend(); ++it) {
        (*it)->SetFinal();
        if (!(*it)->CanEmpty()) break;
    }
}

void TcxRegExprParserAlt::GetStartConnections(std::vector<TcxRegExprState*>& out)
{
    for (auto& item : FItems) {
        out.push_back(item->EntryState());
        if (!item->CanMissing()) break;
    }
}

void TcxRegExprParserAlt::SetFinishConnection(TcxRegExprState* state)
{
    for (auto it = FItems.rbegin(); it != FItems.rend(); ++it) {
        (*it)->ExitState()->Add(state);
        if (!(*it)->CanMissing()) break;
    }
}

std::string TcxRegExprParserAlt::Print() const
{
    std::string text = "<Start_Alt>\r\n";
    for (const auto& item : FItems) text += item->Print();
    return text + "<Finish_Alt>\r\n";
}

std::size_t TcxRegExprParserAlt::StateCount() const
{
    std::size_t count = 0;
    for (const auto& item : FItems) count += item->StateCount();
    return count;
}

std::size_t TcxRegExprParserAlt::Depth() const
{
    std::size_t depth = 0;
    for (const auto& item : FItems) depth = std::max(depth, item->Depth());
    return depth;
}

TcxRegExprParserAlt& TcxRegExprParserAlts::AddAlt()
{
    FAlts.push_back(std::make_unique<TcxRegExprParserAlt>());
    return *FAlts.back();
}

bool TcxRegExprParserAlts::CanEmpty() const
{
    return std::any_of(FAlts.begin(), FAlts.end(), [](const auto& alt) { return alt->CanEmpty(); });
}

bool TcxRegExprParserAlts::StartStateIsFinal() const { return CanEmpty(); }

bool TcxRegExprParserAlts::ThereIsEmptyAlt() const
{
    return std::any_of(FAlts.begin(), FAlts.end(), [](const auto& alt) { return alt->CanMissing(); });
}

void TcxRegExprParserAlts::CreateConnections()
{
    for (auto& alt : FAlts) alt->CreateConnections();
}

void TcxRegExprParserAlts::CreateFinalStates()
{
    for (auto& alt : FAlts) alt->CreateFinalStates();
}

void TcxRegExprParserAlts::GetStartConnections(std::vector<TcxRegExprState*>& out)
{
    for (auto& alt : FAlts) alt->GetStartConnections(out);
}

void TcxRegExprParserAlts::SetFinishConnections(TcxRegExprState* state)
{
    for (auto& alt : FAlts) alt->SetFinishConnection(state);
}

std::unique_ptr<TcxRegExprParserAlts> TcxRegExprParserAlts::Clone() const
{
    auto copy = std::make_unique<TcxRegExprParserAlts>();
    for (const auto& alt : FAlts) copy->Add(alt->Clone());
    return copy;
}

std::string TcxRegExprParserAlts::Print() const
{
    std::string text;
    for (const auto& alt : FAlts) text += alt->Print();
    return text;
}

std::size_t TcxRegExprParserAlts::StateCount() const
{
    std::size_t count = 0;
    for (const auto& alt : FAlts) count += alt->StateCount();
    return count;
}

std::size_t TcxRegExprParserAlts::Depth() const
{
    std::size_t depth = 0;
    for (const auto& alt : FAlts) depth = std::max(depth, alt->Depth());
    return depth;
}

TcxRegExprParserBlockItem::TcxRegExprParserBlockItem(std::unique_ptr<TcxRegExprQuantifier> quantifier)
    : TcxRegExprParserItem(std::move(quantifier))
{
}

bool TcxRegExprParserBlockItem::CanEmpty() const { return CanMissing() || FAlts->CanEmpty(); }

std::unique_ptr<TcxRegExprParserItem> TcxRegExprParserBlockItem::Clone() const
{
    auto copy = std::make_unique<TcxRegExprParserBlockItem>(Quantifier().Clone());
    copy->FAlts = FAlts->Clone();
    return copy;
}

std::string TcxRegExprParserBlockItem::Print() const
{
    return "<Start_Block>\r\n" + FAlts->Print() + "<Finish_Block> --> " + Quantifier().Print() + "\r\n";
}

void TcxRegExprParserBlockItem::CreateInnerConnections()
{
    std::vector<TcxRegExprState*> starts;
    FAlts->GetStartConnections(starts);
    for (auto* state : starts) FStartState->Add(state);
    if (FAlts->ThereIsEmptyAlt()) FStartState->Add(FFinishState.get());
    FAlts->CreateConnections();
    FAlts->SetFinishConnections(FFinishState.get());
}

void TcxRegExprParserBlockItem::AddAlts(std::unique_ptr<TcxRegExprParserAlts> alts)
{
    if (!alts) return;
    for (auto& alt : alts->TakeAlts()) FAlts->Add(std::move(alt));
}

// ---------------------------------------------------------------------------
// Automaton.

TcxRegExprAutomat::TcxRegExprAutomat(std::unique_ptr<TcxRegExprParserAlts> expr, TcxRegExpr* owner)
    : FExpr(std::move(expr)), FOwner(owner)
{
    std::vector<TcxRegExprState*> starts;
    FExpr->GetStartConnections(starts);
    for (auto* state : starts) FStartState->Add(state);
    if (FExpr->StartStateIsFinal()) FStartState->SetFinal();
    FCurrentStates.Add(FStartState.get());
}

bool TcxRegExprAutomat::Next(char& ch, bool caseInsensitive)
{
    auto next = FCurrentStates.Next(ch, caseInsensitive);
    if (next.Count() == 0) return false;
    FHistory.push_back(std::move(FCurrentStates));
    FCurrentStates = std::move(next);
    return true;
}

bool TcxRegExprAutomat::Prev()
{
    if (FHistory.empty()) return false;
    FCurrentStates = std::move(FHistory.back());
    FHistory.pop_back();
    return true;
}

void TcxRegExprAutomat::Reset()
{
    FHistory.clear();
    FCurrentStates.Clear();
    FCurrentStates.Add(FStartState.get());
}

bool TcxRegExprAutomat::IsStart() const
{
    return FCurrentStates.Count() > 0 && FCurrentStates.State(0) == FStartState.get();
}

void TcxRegExprAutomat::Update()
{
    // Every step follows the one path the expression allows and a path that
    // cannot end reaches a final state, so this stops; the bound is a guard.
    for (std::size_t guard = 0; guard <= TcxRegExpr::MaxStateCount && !FCurrentStates.IsFinal(); ++guard) {
        auto next = FCurrentStates.GetAllNextStates();
        char ch = '\0';
        if (!next.Equ(ch)) return;
        if (FOwner) FOwner->SymbolUpdate(ch);
        FHistory.push_back(std::move(FCurrentStates));
        FCurrentStates = std::move(next);
    }
}

void TcxRegExprAutomat::ReUpdate()
{
    char ch = '\0';
    while (FCurrentStates.Equ(ch) && !FHistory.empty()) {
        auto previous = std::move(FHistory.back());
        FHistory.pop_back();
        char forced = '\0';
        if (!previous.GetAllNextStates().Equ(forced) || previous.IsFinal()) {
            FHistory.push_back(std::move(previous));
            return;
        }
        if (FOwner) FOwner->SymbolDelete();
        FCurrentStates = std::move(previous);
    }
}

// ---------------------------------------------------------------------------
// Errors.

std::string TcxRegExprError::GetFullMessage() const
{
    std::string text;
    if (FLine > 0) {
        text = Res(scxRegExprLine) + std::to_string(FLine);
        if (FChar > 0) text += ", " + Res(scxRegExprChar) + std::to_string(FChar);
        text += ": ";
    }
    return text + FMessage;
}

TcxRegExprErrors& TcxRegExprErrors::operator=(const TcxRegExprErrors& other)
{
    if (this != &other) Assign(other);
    return *this;
}

void TcxRegExprErrors::Assign(const TcxRegExprErrors& other)
{
    std::vector<std::unique_ptr<TcxRegExprError>> items;
    items.reserve(other.FItems.size());
    for (const auto& item : other.FItems) items.push_back(item->Clone());
    FItems = std::move(items);
}

// ---------------------------------------------------------------------------
// Compiler.

TcxRegExpr::TcxRegExpr() = default;

TcxRegExpr::~TcxRegExpr() = default;

void TcxRegExpr::Clear()
{
    FText.clear();
    FStream.reset();
    FErrors.Clear();
    FLexems.Clear();
    FReferences.clear();
    FAutomat.reset();
    FTree.reset();
    FDiscarded.clear();
    FScanPos = 0;
    FLexemPos = 0;
    FStateCount = 0;
    FLine = 1;
    FChar = 0;
    FCompiled = false;
}

void TcxRegExpr::BeginCompile()
{
    if (FFirstCompile) {
        FFirstCompile = false;
    } else {
        Clear();
    }
}

void TcxRegExpr::Compile(hostlib::TStream* stream)
{
    BeginCompile();
    auto copy = std::make_unique<hostlib::TMemoryStream>();
    bool copied = stream != nullptr;
    if (copied) {
        try {
            copy->CopyFrom(*stream, 0);
        } catch (const hostlib::Exception&) {
            copied = false;
        }
    }
    if (!copied) {
        AddError(0, 0, Res(scxRegExprNotAssignedSourceStream));
        throw EcxRegExprError(FErrors);
    }
    FStream = std::move(copy);
    FStream->SetPosition(0);
    const auto& bytes = FStream->Bytes();
    FText.assign(bytes.begin(), bytes.end());
    CompileText();
}

void TcxRegExpr::Compile(const std::string& text)
{
    hostlib::TStringStream stream(text);
    Compile(&stream);
}

void TcxRegExpr::CompileText()
{
    if (std::all_of(FText.begin(), FText.end(), IsBlankByte)) {
        AddError(0, 0, Res(scxRegExprEmptySourceStream));
        throw EcxRegExprError(FErrors);
    }
    ScanExpr();
    if (FErrors.Count() > 0) throw EcxRegExprError(FErrors);
    ParseExpr();
    if (FErrors.Count() > 0) throw EcxRegExprError(FErrors);
    FCompiled = true;
    if (FUpdateOn) FAutomat->Update();
}

hostlib::TMemoryStream* TcxRegExpr::GetStream() const { return FCompiled ? FStream.get() : nullptr; }

void TcxRegExpr::CheckCompiled() const
{
    if (!FCompiled) throw hostlib::Exception(Res(scxRegExprNotCompiled));
}

bool TcxRegExpr::Next(char& ch)
{
    CheckCompiled();
    const bool accepted = FAutomat->Next(ch, FCaseInsensitive);
    if (accepted && !FAutomat->IsFinal() && FUpdateOn) FAutomat->Update();
    return accepted;
}

std::string TcxRegExpr::NextEx(const std::string& text)
{
    CheckCompiled();
    std::string result;
    for (char ch : text) {
        char probe = ch;
        if (FAutomat->Next(probe, FCaseInsensitive)) result += ch;
    }
    return result;
}

bool TcxRegExpr::Prev()
{
    CheckCompiled();
    if (FUpdateOn) FAutomat->ReUpdate();
    return FAutomat->Prev();
}

void TcxRegExpr::Reset()
{
    CheckCompiled();
    FAutomat->Reset();
}

bool TcxRegExpr::IsFinal() const
{
    CheckCompiled();
    return FAutomat->IsFinal();
}

bool TcxRegExpr::IsStart() const
{
    CheckCompiled();
    return FAutomat->IsStart();
}

std::string TcxRegExpr::Print() const { return FAutomat ? FAutomat->Print() : std::string(); }

void TcxRegExpr::SetUpdateOn(bool value)
{
    FUpdateOn = value;
    if (FCompiled && value) FAutomat->Update();
}

void TcxRegExpr::SymbolDelete() { OnSymbolDelete(); }

void TcxRegExpr::SymbolUpdate(char ch) { OnSymbolUpdate(ch); }

void TcxRegExpr::AddError(int line, int ch, const std::string& message)
{
    FErrors.Add(std::make_unique<TcxRegExprError>(line, ch, message));
}

void TcxRegExpr::AddLexemError(const TcxLexem& lexem, const std::string& message)
{
    AddError(lexem.Line, lexem.Char, message);
}

// --- Scanning --------------------------------------------------------------

bool TcxRegExpr::ReadByte(char& ch)
{
    if (FScanPos >= FText.size()) return false;
    ch = FText[FScanPos++];
    if (ch == '\r') ++FLine;
    if (ch == '\n') {
        FChar = 0;
    } else {
        ++FChar;
    }
    return true;
}

bool TcxRegExpr::PeekNonBlank(char& ch) const
{
    for (std::size_t pos = FScanPos; pos < FText.size(); ++pos) {
        if (!IsBlankByte(FText[pos])) {
            ch = FText[pos];
            return true;
        }
    }
    return false;
}

void TcxRegExpr::AddLexem(TcxRegExprLexemCode code, std::string value)
{
    FLexems.Add(TcxLexem{FChar, code, FLine, std::move(value)});
}

void TcxRegExpr::ScanExpr()
{
    using enum TcxRegExprLexemCode;
    int opened = 0;
    int closed = 0;
    char ch = '\0';
    while (ReadByte(ch)) {
        if (IsBlankByte(ch)) continue;
        switch (ch) {
        case '(': ++opened; AddLexem(relcSpecial, "("); break;
        case ')': ++closed; AddLexem(relcSpecial, ")"); break;
        case '*': case '+': case '?': case '|': AddLexem(relcSpecial, std::string(1, ch)); break;
        case '.': AddLexem(relcAll, "."); break;
        case '/': AddLexem(relcDateSeparator, "/"); break;
        case ':': AddLexem(relcTimeSeparator, ":"); break;
        case '[': AddLexem(relcSpecial, "["); ScanClass(); break;
        case '{': AddLexem(relcSpecial, "{"); ScanQuantifier(); break;
        case '\'': ScanString(); break;
        case '\\': ScanEscape(false); break;
        default: AddLexem(relcSymbol, std::string(1, ch)); break;
        }
    }
    if (opened > closed) AddError(0, 0, ResFmt(scxRegExprMissing, ")"));
    if (opened < closed) AddError(0, 0, ResFmt(scxRegExprUnnecessary, ")"));
}

void TcxRegExpr::ScanString()
{
    char ch = '\0';
    while (ReadByte(ch)) {
        if (ch == '\'') {
            if (FScanPos < FText.size() && FText[FScanPos] == '\'') {
                ReadByte(ch);
                AddLexem(TcxRegExprLexemCode::relcSymbol, "'");
                continue;
            }
            return;
        }
        AddLexem(TcxRegExprLexemCode::relcSymbol, std::string(1, ch));
    }
    AddError(FLine, FChar, ResFmt(scxRegExprMissing, kQuoteArg));
}

void TcxRegExpr::ScanEscape(bool inClass)
{
    using enum TcxRegExprLexemCode;
    char ch = '\0';
    if (!ReadByte(ch)) return;
    if (ch >= '1' && ch <= '9') {
        // A class has no groups: the digit stands for itself there.
        AddLexem(inClass ? relcSymbol : relcReference, std::string(1, ch));
        return;
    }
    if (IsBlankByte(ch)) {
        AddError(FLine, FChar, Res(scxRegExprIncorrectSpace));
        return;
    }
    switch (ch) {
    case 'd': AddLexem(relcDigit, "d"); return;
    case 'D': AddLexem(relcNotDigit, "D"); return;
    case 'w': AddLexem(relcId, "w"); return;
    case 'W': AddLexem(relcNotId, "W"); return;
    case 's': AddLexem(relcSpace, "s"); return;
    case 'S': AddLexem(relcNotSpace, "S"); return;
    case 'a': AddLexem(relcSymbol, std::string(1, '\x07')); return;
    case 'e': AddLexem(relcSymbol, std::string(1, '\x1B')); return;
    case 'f': AddLexem(relcSymbol, std::string(1, '\x0C')); return;
    case 'n': AddLexem(relcSymbol, std::string(1, '\n')); return;
    case 'r': AddLexem(relcSymbol, std::string(1, '\r')); return;
    case 't': AddLexem(relcSymbol, std::string(1, '\t')); return;
    case 'p': AddLexem(relcSymbol, std::string(1, hostlib::FormatSettings().DecimalSeparator)); return;
    case 'x': {
        int code = 0;
        for (int digit = 0; digit < 2; ++digit) {
            char hex = '\0';
            if (!ReadByte(hex)) {
                AddError(FLine, FChar, Res(scxRegExprHexNumberExpected0));
                return;
            }
            const int value = quelvo::sys::HexDigitValue(hex);
            if (value < 0) {
                AddError(FLine, FChar, ResFmt(scxRegExprHexNumberExpected, std::string(1, hex)));
                return;
            }
            code = code * 16 + value;
        }
        AddLexem(relcSymbol, std::string(1, static_cast<char>(code)));
        return;
    }
    default: AddLexem(relcSymbol, std::string(1, ch)); return;
    }
}

void TcxRegExpr::ScanClass()
{
    using enum TcxRegExprLexemCode;
    char ch = '\0';
    if (!ReadByte(ch)) {
        AddError(FLine, FChar, ResFmt(scxRegExprMissing, "]"));
        return;
    }
    switch (ch) {
    case ']': AddLexem(relcSpecial, "]"); return;
    case '^': AddLexem(relcSpecial, "^"); break;
    case '\'': ScanString(); break;
    case '\\': ScanEscape(true); break;
    case '/': AddLexem(relcDateSeparator, "/"); break;
    case ':': AddLexem(relcTimeSeparator, ":"); break;
    default: AddLexem(relcSymbol, std::string(1, ch)); break;
    }
    while (ReadByte(ch)) {
        if (IsBlankByte(ch)) continue;
        switch (ch) {
        case '\'': ScanString(); break;
        case '\\': ScanEscape(true); break;
        case '/': AddLexem(relcDateSeparator, "/"); break;
        case ':': AddLexem(relcTimeSeparator, ":"); break;
        case ']': AddLexem(relcSpecial, "]"); return;
        case '-': {
            char next = '\0';
            const bool more = PeekNonBlank(next);
            if (more && next == ']') {
                AddLexem(relcSymbol, "-");
            } else {
                AddLexem(relcSpecial, "-");
            }
            if (!more) {
                AddError(FLine, FChar, ResFmt(scxRegExprMissing, "]"));
                return;
            }
            break;
        }
        default: AddLexem(relcSymbol, std::string(1, ch)); break;
        }
    }
    AddError(FLine, FChar, ResFmt(scxRegExprMissing, "]"));
}

void TcxRegExpr::ScanQuantifier()
{
    using enum TcxRegExprLexemCode;
    char ch = '\0';
    while (ReadByte(ch)) {
        if (IsBlankByte(ch)) continue;
        if (IsDigitByte(ch)) {
            std::string digits(1, ch);
            while (FScanPos < FText.size() && IsDigitByte(FText[FScanPos])) {
                ReadByte(ch);
                digits += ch;
            }
            AddLexem(relcInteger, digits);
            continue;
        }
        switch (ch) {
        case ',': AddLexem(relcSpecial, ","); break;
        case '}': AddLexem(relcSpecial, "}"); return;
        case '\'': AddError(FLine, FChar, ResFmt(scxRegExprIllegalSymbol, kQuoteArg)); break;
        default: AddError(FLine, FChar, ResFmt(scxRegExprIllegalSymbol, std::string(1, ch))); break;
        }
    }
    AddError(FLine, FChar, ResFmt(scxRegExprMissing, "}"));
}

// --- Parsing ---------------------------------------------------------------

namespace {

bool IsSpecial(const TcxLexem* lexem, const char* value)
{
    return lexem && lexem->Code == TcxRegExprLexemCode::relcSpecial && lexem->Value == value;
}

std::unique_ptr<TcxRegExprItem> CreateTest(const TcxLexem& lexem)
{
    using enum TcxRegExprLexemCode;
    switch (lexem.Code) {
    case relcSymbol:
    case relcReference: return std::make_unique<TcxRegExprSymbol>(lexem.Value.empty() ? '\0' : lexem.Value[0]);
    case relcAll: return std::make_unique<TcxRegExprAll>();
    case relcId: return std::make_unique<TcxRegExprIdLetter>(false);
    case relcNotId: return std::make_unique<TcxRegExprIdLetter>(true);
    case relcDigit: return std::make_unique<TcxRegExprDigit>(false);
    case relcNotDigit: return std::make_unique<TcxRegExprDigit>(true);
    case relcSpace: return std::make_unique<TcxRegExprSpace>(false);
    case relcNotSpace: return std::make_unique<TcxRegExprSpace>(true);
    case relcDateSeparator: return std::make_unique<TcxRegExprDateSeparator>();
    case relcTimeSeparator: return std::make_unique<TcxRegExprTimeSeparator>();
    default: return nullptr;
    }
}

// Parses the digits of an integer lexem; false when it does not fit.
bool LexemInteger(const TcxLexem& lexem, int& value)
{
    if (lexem.Code != TcxRegExprLexemCode::relcInteger || lexem.Value.empty()) return false;
    long long result = 0;
    for (char ch : lexem.Value) {
        result = result * 10 + (ch - '0');
        if (result > std::numeric_limits<int>::max()) return false;
    }
    value = static_cast<int>(result);
    return true;
}

}  // namespace

const TcxLexem* TcxRegExpr::NextLexem()
{
    if (FLexemPos >= FLexems.Count()) return nullptr;
    return &FLexems.Items(FLexemPos++);
}

const TcxLexem* TcxRegExpr::PeekLexem() const
{
    return FLexemPos < FLexems.Count() ? &FLexems.Items(FLexemPos) : nullptr;
}

void TcxRegExpr::Discard(std::unique_ptr<TcxRegExprParserItem> item)
{
    if (item) FDiscarded.push_back(std::move(item));
}

bool TcxRegExpr::ReserveStates(std::size_t count)
{
    if (count > MaxStateCount || FStateCount > MaxStateCount - count) return false;
    FStateCount += count;
    return true;
}

void TcxRegExpr::ParseExpr()
{
    FTree = std::make_unique<TcxRegExprParserAlts>();
    FLexemPos = 0;
    while (ParseAlt(FTree->AddAlt(), true, 0) == AltEnd::Bar) {
    }
    if (FErrors.Count() > 0) {
        FReferences.clear();
        FDiscarded.clear();
        FTree.reset();
        return;
    }
    FTree->CreateConnections();
    FTree->CreateFinalStates();
    FAutomat = std::make_unique<TcxRegExprAutomat>(std::move(FTree), this);
}

void TcxRegExpr::StopParsing() { FLexemPos = FLexems.Count(); }

TcxRegExpr::AltEnd TcxRegExpr::ParseAlt(TcxRegExprParserAlt& alt, bool topLevel, std::size_t depth)
{
    using enum TcxRegExprLexemCode;
    const TcxLexem* first = PeekLexem();
    if (!first) {
        AddError(0, 0, Res(scxRegExprCantCreateEmptyAlt));
        return AltEnd::Text;
    }
    if (IsSpecial(first, "|")) {
        NextLexem();
        AddLexemError(*first, Res(scxRegExprCantCreateEmptyAlt));
        return AltEnd::Bar;
    }
    if (!topLevel && IsSpecial(first, ")")) {
        NextLexem();
        AddLexemError(*first, Res(scxRegExprCantCreateEmptyBlock));
        return AltEnd::Close;
    }

    while (const TcxLexem* lexem = NextLexem()) {
        switch (lexem->Code) {
        case relcSymbol:
        case relcAll:
        case relcId:
        case relcNotId:
        case relcDigit:
        case relcNotDigit:
        case relcSpace:
        case relcNotSpace:
        case relcDateSeparator:
        case relcTimeSeparator:
            if (!ReserveStates(1)) {
                AddLexemError(*lexem, Res(scxRegExprIncorrectParameterQuantifier));
                StopParsing();
                break;
            }
            alt.Add(std::make_unique<TcxRegExprParserSimpleItem>(CreateTest(*lexem)));
            break;
        case relcInteger: AddLexemError(*lexem, Res(scxRegExprIllegalIntegerValue)); break;
        case relcReference: {
            const std::size_t number = static_cast<std::size_t>(lexem->Value[0] - '0');
            if (number > FReferences.size()) {
                AddLexemError(*lexem, Res(scxRegExprTooBigReferenceNumber));
                break;
            }
            const auto& group = *FReferences[number - 1];
            if (!ReserveStates(group.StateCount())) {
                AddLexemError(*lexem, Res(scxRegExprTooBigReferenceNumber));
                StopParsing();
                break;
            }
            alt.Add(group.Clone());
            break;
        }
        case relcSpecial: {
            const char sign = lexem->Value.empty() ? '\0' : lexem->Value[0];
            switch (sign) {
            case '(': ParseBlock(alt, *lexem, depth + 1); break;
            case ')':
                if (!topLevel) return AltEnd::Close;
                AddLexemError(*lexem, ResFmt(scxRegExprIllegalSymbol, ")"));
                break;
            case '|': return AltEnd::Bar;
            case '[': ParseEnumeration(alt); break;
            case '?':
            case '*':
            case '+': {
                const auto* last = alt.GetLastItem();
                bool applied = true;
                if (!last) {
                    AddLexemError(*lexem, ResFmt(scxRegExprIllegalQuantifier, lexem->Value));
                } else if (sign == '?') {
                    applied = ApplyQuantifier(alt, std::make_unique<TcxRegExprQuestionQuantifier>());
                } else if (last->CanEmpty()) {
                    AddLexemError(*lexem, Res(sign == '*' ? scxRegExprCantUseStarQuantifier
                                                          : scxRegExprCantUsePlusQuantifier));
                } else if (sign == '*') {
                    applied = ApplyQuantifier(alt, std::make_unique<TcxRegExprStarQuantifier>());
                } else {
                    applied = ApplyQuantifier(alt, std::make_unique<TcxRegExprPlusQuantifier>());
                }
                if (!applied) AddLexemError(*lexem, ResFmt(scxRegExprIllegalQuantifier, lexem->Value));
                break;
            }
            case '{':
                if (!alt.GetLastItem()) {
                    AddLexemError(*lexem, Res(scxRegExprIncorrectParameterQuantifier));
                } else {
                    ParseQuantifier(alt, *lexem);
                }
                break;
            case '-':
            case ']':
            case '}': AddLexemError(*lexem, ResFmt(scxRegExprIllegalSymbol, lexem->Value)); break;
            default: break;
            }
            break;
        }
        }
    }
    return AltEnd::Text;
}

void TcxRegExpr::ParseBlock(TcxRegExprParserAlt& alt, const TcxLexem& open, std::size_t depth)
{
    if (depth > MaxNestingDepth || !ReserveStates(2)) {
        AddLexemError(open, ResFmt(scxRegExprIllegalSymbol, "("));
        StopParsing();
        return;
    }
    auto block = std::make_unique<TcxRegExprParserBlockItem>();
    auto* raw = block.get();
    FReferences.push_back(raw);
    alt.Add(std::move(block));
    AltEnd end = AltEnd::Bar;
    while (end == AltEnd::Bar) end = ParseAlt(raw->AddAlt(), false, depth);
    if (raw->Depth() > MaxNestingDepth) {
        AddLexemError(open, ResFmt(scxRegExprIllegalSymbol, "("));
        StopParsing();
    }
}

void TcxRegExpr::ParseEnumeration(TcxRegExprParserAlt& alt)
{
    using enum TcxRegExprLexemCode;
    const auto isSymbol = [](const TcxLexem* lexem) {
        return lexem && (lexem->Code == relcSymbol || lexem->Code == relcReference);
    };
    auto enumeration = std::make_unique<TcxRegExprUserEnumeration>();
    const TcxLexem* lexem = NextLexem();
    if (IsSpecial(lexem, "^")) {
        enumeration->SetInverse(true);
        lexem = NextLexem();
    }
    if (IsSpecial(lexem, "]")) {
        AddLexemError(*lexem, Res(scxRegExprCantCreateEmptyEnum));
        return;
    }
    for (; lexem && !IsSpecial(lexem, "]"); lexem = NextLexem()) {
        if (IsSpecial(lexem, "-")) {
            // A range mark that does not stand between two symbols, as after
            // a subrange ('[a-c-e]').
            AddLexemError(*lexem, ResFmt(scxRegExprIllegalSymbol, "-"));
            continue;
        }
        if (isSymbol(lexem) && IsSpecial(PeekLexem(), "-") && FLexemPos + 1 < FLexems.Count() &&
            isSymbol(&FLexems.Items(FLexemPos + 1))) {
            NextLexem();
            const TcxLexem* finish = NextLexem();
            const auto from = static_cast<unsigned char>(lexem->Value[0]);
            const auto to = static_cast<unsigned char>(finish->Value[0]);
            if (from < to) {
                enumeration->Add(std::make_unique<TcxRegExprSubrange>(lexem->Value[0], finish->Value[0]));
            } else {
                AddLexemError(*finish, Res(scxRegExprSubrangeOrder));
            }
            continue;
        }
        if (auto test = CreateTest(*lexem)) enumeration->Add(std::move(test));
    }
    if (!ReserveStates(1)) {
        AddError(0, 0, Res(scxRegExprIncorrectParameterQuantifier));
        StopParsing();
        return;
    }
    alt.Add(std::make_unique<TcxRegExprParserSimpleItem>(std::move(enumeration)));
}

bool TcxRegExpr::ApplyQuantifier(TcxRegExprParserAlt& alt, std::unique_ptr<TcxRegExprQuantifier> quantifier)
{
    auto* last = alt.GetLastItem();
    if (!last) return false;
    if (last->NotQuantifier()) {
        last->SetQuantifier(std::move(quantifier));
        return true;
    }
    // An item that has a quantifier already is wrapped: 'a*?' is (a*)?.
    if (last->Depth() + 1 > MaxNestingDepth || !ReserveStates(2)) return false;
    auto wrapper = std::make_unique<TcxRegExprParserBlockItem>(std::move(quantifier));
    auto* raw = wrapper.get();
    auto old = alt.SetLastItem(std::move(wrapper));
    raw->AddAlt().Add(std::move(old));
    return true;
}

void TcxRegExpr::ParseQuantifier(TcxRegExprParserAlt& alt, const TcxLexem& start)
{
    using enum TcxRegExprLexemCode;
    // The syntax first: a lexem that does not fit is left for the caller,
    // which reports what it is ("Illegal integer value", "Illegal '}'").
    const TcxLexem* last = &start;
    const auto fail = [&](const TcxLexem* at) {
        AddLexemError(at ? *at : *last, Res(scxRegExprIncorrectParameterQuantifier));
    };
    const auto take = [&](bool fits) {
        const TcxLexem* lexem = PeekLexem();
        if (!lexem || !fits) return static_cast<const TcxLexem*>(nullptr);
        last = NextLexem();
        return last;
    };
    const auto isInteger = [&] { return PeekLexem() && PeekLexem()->Code == relcInteger; };
    const TcxLexem* lowLexem = take(isInteger());
    if (!lowLexem) return fail(PeekLexem());
    const TcxLexem* highLexem = nullptr;
    bool atLeast = false;
    if (!take(IsSpecial(PeekLexem(), "}"))) {
        if (!take(IsSpecial(PeekLexem(), ","))) return fail(PeekLexem());
        if (take(IsSpecial(PeekLexem(), "}"))) {
            atLeast = true;
        } else {
            highLexem = take(isInteger());
            if (!highLexem || !take(IsSpecial(PeekLexem(), "}"))) return fail(PeekLexem());
        }
    }
    // Then the values: counts that do not fit or do not ascend.
    int low = 0;
    int high = 0;
    if (!LexemInteger(*lowLexem, low)) return fail(lowLexem);
    if (highLexem && !LexemInteger(*highLexem, high)) return fail(highLexem);
    if (!highLexem) high = low;
    if (high < low) return fail(last);

    auto* item = alt.GetLastItem();
    // An open repetition of an item that can match the empty text would loop
    // without reading a character, as '*' would.
    if (item->CanMissing() || (atLeast && item->CanEmpty())) {
        AddLexemError(start, Res(scxRegExprCantUseParameterQuantifier));
        return;
    }
    const std::size_t copies = static_cast<std::size_t>(atLeast ? low + 1 : high);
    const std::size_t size = item->StateCount() + 2;
    const std::size_t chain = atLeast ? 1 : static_cast<std::size_t>(high - low);
    if (copies > MaxStateCount / size || item->Depth() + chain + 1 > MaxNestingDepth ||
        !ReserveStates(copies * size + 2)) {
        AddLexemError(start, Res(scxRegExprIncorrectParameterQuantifier));
        return;
    }

    auto group = std::make_unique<TcxRegExprParserBlockItem>();
    auto* raw = group.get();
    auto original = alt.SetLastItem(std::move(group));
    auto& body = raw->AddAlt();
    for (int i = 0; i < low; ++i) body.Add(original->Clone());
    if (atLeast) {
        body.Add(original->Clone());
        ApplyQuantifier(body, std::make_unique<TcxRegExprStarQuantifier>());
    } else if (high > low) {
        // copy (copy (...)?)? : each nested group adds one optional copy.
        TcxRegExprParserAlt* target = &body;
        for (int i = low; i < high; ++i) {
            auto optional = std::make_unique<TcxRegExprParserBlockItem>(std::make_unique<TcxRegExprQuestionQuantifier>());
            auto* inner = optional.get();
            target->Add(std::move(optional));
            target = &inner->AddAlt();
            target->Add(original->Clone());
        }
    }
    Discard(std::move(original));
}

// ---------------------------------------------------------------------------
// Unit functions.

namespace cxRegExpr {

namespace {

// Feeds the text; the result tells whether every character was accepted and
// whether the match is complete.
std::pair<bool, bool> Feed(const std::string& text, const std::string& expr)
{
    TcxRegExpr regExpr;
    try {
        regExpr.Compile(expr);
    } catch (const EcxRegExprError& error) {
        throw EcxRegExprError(error.Errors().Clone());
    }
    for (char ch : text) {
        if (!regExpr.Next(ch)) return {false, false};
    }
    return {true, regExpr.IsFinal()};
}

}  // namespace

bool IsTextValid(const std::string& text, const std::string& expr) { return Feed(text, expr).first; }

bool IsTextFullValid(const std::string& text, const std::string& expr) { return Feed(text, expr).second; }

std::string QuotedText(const std::string& text)
{
    std::string quoted = "'";
    for (char ch : text) {
        quoted += ch;
        if (ch == '\'') quoted += '\'';
    }
    return quoted + "'";
}

}  // namespace cxRegExpr
