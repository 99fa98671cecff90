#include "platform/hostlib/data/filter_expr.h"

#include <cctype>
#include <vector>

#include "platform/hostlib/core/format.h"

namespace hostlib {

namespace {

enum class Tok { End, Name, Text, Number, Op, LParen, RParen, Comma };

struct Token {
    Tok kind = Tok::End;
    std::string text;
    bool bracketed = false;
};

[[noreturn]] void SyntaxError(const std::string& what)
{
    DatabaseError(Format(db_messages::SFilterSyntax, what));
}

std::vector<Token> Tokenize(const std::string& s)
{
    std::vector<Token> out;
    const char decimal = FormatSettings().DecimalSeparator;
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (std::isspace(c)) {
            ++i;
            continue;
        }
        Token t;
        if (c == '(' || c == ')' || c == ',') {
            t.kind = c == '(' ? Tok::LParen : c == ')' ? Tok::RParen : Tok::Comma;
            t.text = std::string(1, static_cast<char>(c));
            ++i;
        } else if (c == '[') {
            const std::size_t close = s.find(']', i + 1);
            if (close == std::string::npos) SyntaxError("missing ']'");
            t.kind = Tok::Name;
            t.text = s.substr(i + 1, close - i - 1);
            t.bracketed = true;
            i = close + 1;
        } else if (c == '\'' || c == '"') {
            t.kind = Tok::Text;
            ++i;
            for (;;) {
                if (i >= s.size()) SyntaxError("unterminated text");
                if (s[i] == static_cast<char>(c)) {
                    if (i + 1 < s.size() && s[i + 1] == static_cast<char>(c)) {
                        t.text += s[i];
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                t.text += s[i++];
            }
        } else if (std::isdigit(c) || ((c == '.' || c == static_cast<unsigned char>(decimal)) && i + 1 < s.size() &&
                                       std::isdigit(static_cast<unsigned char>(s[i + 1])))) {
            t.kind = Tok::Number;
            while (i < s.size()) {
                const unsigned char d = static_cast<unsigned char>(s[i]);
                // With a comma as the decimal separator a comma between digits
                // is one; list items are written ", ".
                const bool sep = d == '.' || (d == static_cast<unsigned char>(decimal) &&
                                              (decimal != ',' || (i + 1 < s.size() && std::isdigit(static_cast<unsigned char>(s[i + 1])))));
                const bool exp = (d == 'e' || d == 'E') && i + 1 < s.size() &&
                                 (std::isdigit(static_cast<unsigned char>(s[i + 1])) || s[i + 1] == '-' || s[i + 1] == '+');
                if (std::isdigit(d) || sep) t.text += d == static_cast<unsigned char>(decimal) ? '.' : static_cast<char>(d);
                else if (exp) {
                    t.text += static_cast<char>(d);
                    t.text += s[++i];
                } else break;
                ++i;
            }
        } else if (std::isalpha(c) || c == '_') {
            t.kind = Tok::Name;
            while (i < s.size() && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '_' || s[i] == '.'))
                t.text += s[i++];
        } else if (c == '<' || c == '>' || c == '=' || c == '!') {
            t.kind = Tok::Op;
            t.text = std::string(1, static_cast<char>(c));
            ++i;
            if (i < s.size() && (s[i] == '=' || (c == '<' && s[i] == '>'))) t.text += s[i++];
            if (t.text == "!") SyntaxError("unexpected '!'");
            if (t.text == "!=") t.text = "<>";
            if (t.text == "==") t.text = "=";
        } else {
            SyntaxError(Format("unexpected character '%s'", std::string(1, static_cast<char>(c))));
        }
        out.push_back(std::move(t));
    }
    out.push_back(Token{});
    return out;
}

bool IsKeyword(const Token& t, const char* word) { return t.kind == Tok::Name && !t.bracketed && SameText(t.text, word); }

}  // namespace

struct FilterExpression::Node {
    enum class Kind { And, Or, Not, Compare, Like, Between, In, IsNull, Constant };
    Kind kind = Kind::Constant;
    std::string op;  // Compare
    bool negate = false;
    std::vector<std::unique_ptr<Node>> children;  // And, Or, Not
    // Operands: field >= 0, else the literal.
    struct Operand {
        int field = -1;
        Variant literal;
        bool isNullLiteral = false;
        bool prefix = false;  // text ending in '*' under partial compare
    };
    std::vector<Operand> operands;
    bool constant = false;
};

namespace {

using Node = FilterExpression::Node;
using Operand = Node::Operand;

class Parser {
public:
    Parser(const std::string& text, FilterExpression::Options options, const FilterExpression::FieldResolver& resolve,
           const FilterExpression::FieldTypeOf& typeOf)
        : tokens_(Tokenize(text)), options_(options), resolve_(resolve), typeOf_(typeOf)
    {
    }

    std::unique_ptr<Node> Run()
    {
        auto node = ParseOr();
        if (Peek().kind != Tok::End) SyntaxError(Format("unexpected '%s'", Peek().text));
        return node;
    }

private:
    const Token& Peek() const { return tokens_[pos_]; }
    const Token& Take() { return tokens_[pos_ < tokens_.size() - 1 ? pos_++ : pos_]; }
    bool TakeKeyword(const char* word)
    {
        if (!IsKeyword(Peek(), word)) return false;
        ++pos_;
        return true;
    }
    void Expect(Tok kind, const char* what)
    {
        if (Peek().kind != kind) SyntaxError(Format("%s expected", what));
        ++pos_;
    }

    // A chain of one operator becomes one node with many children, so that
    // a long chain is not a deep tree.
    std::unique_ptr<Node> Combine(Node::Kind kind, std::unique_ptr<Node> left, std::unique_ptr<Node> right)
    {
        if (left->kind == kind) {
            left->children.push_back(std::move(right));
            return left;
        }
        auto n = std::make_unique<Node>();
        n->kind = kind;
        n->children.push_back(std::move(left));
        n->children.push_back(std::move(right));
        return n;
    }

    std::unique_ptr<Node> ParseOr()
    {
        auto left = ParseAnd();
        while (TakeKeyword("OR")) left = Combine(Node::Kind::Or, std::move(left), ParseAnd());
        return left;
    }

    std::unique_ptr<Node> ParseAnd()
    {
        auto left = ParseNot();
        while (TakeKeyword("AND")) left = Combine(Node::Kind::And, std::move(left), ParseNot());
        return left;
    }

    std::unique_ptr<Node> ParseNot()
    {
        if (depth_ >= kMaxDepth) SyntaxError("expression nested too deeply");
        ++depth_;
        auto node = ParseNested();
        --depth_;
        return node;
    }

    std::unique_ptr<Node> ParseNested()
    {
        if (TakeKeyword("NOT")) {
            auto n = std::make_unique<Node>();
            n->kind = Node::Kind::Not;
            n->children.push_back(ParseNot());
            return n;
        }
        if (Peek().kind == Tok::LParen) {
            ++pos_;
            auto inner = ParseOr();
            Expect(Tok::RParen, "')'");
            return inner;
        }
        return ParseCondition();
    }

    Operand ParseOperand()
    {
        const Token& t = Take();
        Operand o;
        switch (t.kind) {
        case Tok::Name:
            if (!t.bracketed) {
                if (SameText(t.text, "NULL")) {
                    o.literal = Variant::Null();
                    o.isNullLiteral = true;
                    return o;
                }
                if (SameText(t.text, "TRUE") || SameText(t.text, "FALSE")) {
                    o.literal = Variant(SameText(t.text, "TRUE"));
                    return o;
                }
            }
            o.field = resolve_(t.text);
            if (o.field < 0) SyntaxError(Format(db_messages::SFieldNotFound, t.text));
            return o;
        case Tok::Text:
            o.literal = Variant(t.text);
            return o;
        case Tok::Number: {
            double d = 0;
            if (!TryStrToFloat(t.text, d, EnglishFormatSettings())) SyntaxError(Format("bad number '%s'", t.text));
            std::int64_t i = 0;
            if (t.text.find_first_of(".eE") == std::string::npos && TryStrToInt64(t.text, i)) o.literal = Variant(static_cast<long long>(i));
            else o.literal = Variant(d);
            return o;
        }
        case Tok::End:
            SyntaxError("unexpected end of text");
        default:
            SyntaxError(Format("unexpected '%s'", t.text));
        }
    }

    // A literal compared with a field takes the field's type.
    void Adapt(Operand& literal, const Operand& other, bool forPattern)
    {
        if (literal.field >= 0 || other.field < 0 || literal.isNullLiteral) return;
        if (!VarIsStr(literal.literal)) return;
        const std::string text = literal.literal.AsString();
        if (!forPattern && options_.PartialCompare && !text.empty() && text.back() == '*') {
            literal.prefix = true;
            literal.literal = Variant(text.substr(0, text.size() - 1));
            return;
        }
        if (forPattern) return;
        const TFieldType type = typeOf_(other.field);
        try {
            switch (type) {
            case ftSmallint:
            case ftInteger:
            case ftWord:
            case ftAutoInc:
            case ftLargeint:
            case ftFloat:
            case ftCurrency:
            case ftBCD:
            case ftFMTBcd:
                literal.literal = Variant(StrToFloat(text));
                break;
            case ftDate:
            case ftTime:
            case ftDateTime:
            case ftTimeStamp:
                literal.literal = Variant::FromDate(StrToDateTime(text));
                break;
            case ftBoolean:
                literal.literal = Variant(StrToBool(text));
                break;
            default:
                break;
            }
        } catch (const Exception&) {
            SyntaxError(Format("'%s' is not a valid value for this field", text));
        }
    }

    std::unique_ptr<Node> ParseCondition()
    {
        auto n = std::make_unique<Node>();
        Operand left = ParseOperand();
        if (left.field < 0 && (Peek().kind == Tok::End || Peek().kind == Tok::RParen || IsKeyword(Peek(), "AND") ||
                               IsKeyword(Peek(), "OR"))) {
            // A bare TRUE or FALSE.
            if (left.literal.VarType() != varBoolean) SyntaxError("condition expected");
            n->kind = Node::Kind::Constant;
            n->constant = left.literal.AsBoolean();
            return n;
        }
        bool negate = false;
        if (TakeKeyword("IS")) {
            n->kind = Node::Kind::IsNull;
            n->negate = TakeKeyword("NOT");
            if (!TakeKeyword("NULL")) SyntaxError("NULL expected");
            n->operands.push_back(left);
            return n;
        }
        if (TakeKeyword("NOT")) negate = true;
        if (TakeKeyword("LIKE")) {
            n->kind = Node::Kind::Like;
            Operand pattern = ParseOperand();
            n->operands = {left, pattern};
        } else if (TakeKeyword("BETWEEN")) {
            n->kind = Node::Kind::Between;
            Operand low = ParseOperand();
            if (!TakeKeyword("AND")) SyntaxError("AND expected");
            Operand high = ParseOperand();
            Adapt(low, left, false);
            Adapt(high, left, false);
            n->operands = {left, low, high};
        } else if (TakeKeyword("IN")) {
            n->kind = Node::Kind::In;
            Expect(Tok::LParen, "'('");
            n->operands.push_back(left);
            for (;;) {
                Operand item = ParseOperand();
                Adapt(item, left, false);
                item.prefix = false;
                n->operands.push_back(item);
                if (Peek().kind == Tok::Comma) {
                    ++pos_;
                    continue;
                }
                Expect(Tok::RParen, "')'");
                break;
            }
        } else {
            if (negate) SyntaxError("LIKE, BETWEEN or IN expected after NOT");
            if (Peek().kind != Tok::Op) SyntaxError(Peek().kind == Tok::End ? "operator expected" : Format("unexpected '%s'", Peek().text));
            n->kind = Node::Kind::Compare;
            n->op = Take().text;
            Operand right = ParseOperand();
            if (right.isNullLiteral || left.isNullLiteral) {
                if (n->op != "=" && n->op != "<>") SyntaxError("NULL can only be compared with = or <>");
                n->kind = Node::Kind::IsNull;
                n->negate = n->op == "<>";
                n->operands.push_back(left.isNullLiteral ? right : left);
                return n;
            }
            Adapt(right, left, false);
            Adapt(left, right, false);
            if ((left.prefix || right.prefix) && n->op != "=" && n->op != "<>") {
                // Only equality compares by prefix; elsewhere '*' is a character.
                if (left.prefix) left.literal = Variant(left.literal.AsString() + "*"), left.prefix = false;
                if (right.prefix) right.literal = Variant(right.literal.AsString() + "*"), right.prefix = false;
            }
            n->operands = {left, right};
        }
        n->negate = negate;
        return n;
    }

    // NOTs and parentheses deeper than this are refused before they exhaust
    // the stack of the parser, the evaluator or the tree's destruction.
    static constexpr int kMaxDepth = 200;

    std::vector<Token> tokens_;
    std::size_t pos_ = 0;
    int depth_ = 0;
    FilterExpression::Options options_;
    const FilterExpression::FieldResolver& resolve_;
    const FilterExpression::FieldTypeOf& typeOf_;
};

Variant Fold(const Variant& v, bool caseInsensitive)
{
    if (caseInsensitive && VarIsStr(v)) return Variant(AnsiUpperCase(v.AsString()));
    return v;
}

}  // namespace

FilterExpression::~FilterExpression() = default;

std::unique_ptr<FilterExpression> FilterExpression::Parse(const std::string& text, Options options,
                                                          const FieldResolver& resolve, const FieldTypeOf& typeOf)
{
    std::unique_ptr<FilterExpression> e(new FilterExpression());
    e->options_ = options;
    if (!Trim(text).empty()) e->root_ = Parser(text, options, resolve, typeOf).Run();
    return e;
}

bool FilterLike(const std::string& text, const std::string& pattern)
{
    // Greedy walk with one backtracking point: the last '%' seen.
    std::size_t t = 0, p = 0, starP = std::string::npos, starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == '_' || pattern[p] == text[t])) {
            ++t;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '%') {
            starP = p++;
            starT = t;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '%') ++p;
    return p == pattern.size();
}

namespace {

bool EvalNode(const Node& n, const FilterExpression::FieldValue& value, const FilterExpression::Options& options)
{
    auto operand = [&](const Operand& o) { return Fold(o.field >= 0 ? value(o.field) : o.literal, options.CaseInsensitive); };
    switch (n.kind) {
    case Node::Kind::Constant:
        return n.constant;
    case Node::Kind::And:
    case Node::Kind::Or: {
        // Every side runs so that a type error anywhere surfaces.
        int trues = 0;
        for (const auto& child : n.children) trues += EvalNode(*child, value, options) ? 1 : 0;
        return n.kind == Node::Kind::And ? trues == static_cast<int>(n.children.size()) : trues > 0;
    }
    case Node::Kind::Not:
        return !EvalNode(*n.children[0], value, options);
    case Node::Kind::IsNull:
        return operand(n.operands[0]).IsNull() != n.negate;
    case Node::Kind::Compare: {
        const Variant a = operand(n.operands[0]);
        const Variant b = operand(n.operands[1]);
        if (a.IsNull() || b.IsNull()) return false;
        if (n.operands[0].prefix || n.operands[1].prefix) {
            const bool leftPrefix = n.operands[0].prefix;
            const std::string prefix = (leftPrefix ? a : b).AsString();
            const std::string whole = (leftPrefix ? b : a).AsString();
            const bool match = whole.compare(0, prefix.size(), prefix) == 0;
            return n.op == "=" ? match : !match;
        }
        if (n.op == "=") return a == b;
        if (n.op == "<>") return !(a == b);
        if (n.op == "<") return a < b;
        if (n.op == "<=") return a <= b;
        if (n.op == ">") return a > b;
        return a >= b;
    }
    case Node::Kind::Like: {
        const Variant a = operand(n.operands[0]);
        const Variant b = operand(n.operands[1]);
        if (a.IsNull() || b.IsNull()) return false;
        return FilterLike(a.AsString(), b.AsString()) != n.negate;
    }
    case Node::Kind::Between: {
        const Variant v = operand(n.operands[0]);
        const Variant lo = operand(n.operands[1]);
        const Variant hi = operand(n.operands[2]);
        if (v.IsNull() || lo.IsNull() || hi.IsNull()) return false;
        return (lo <= v && v <= hi) != n.negate;
    }
    case Node::Kind::In: {
        const Variant v = operand(n.operands[0]);
        if (v.IsNull()) return false;
        bool found = false;
        for (std::size_t i = 1; i < n.operands.size() && !found; ++i) {
            const Variant item = operand(n.operands[i]);
            found = !item.IsNull() && v == item;
        }
        return found != n.negate;
    }
    }
    return false;
}

}  // namespace

bool FilterExpression::Evaluate(const FieldValue& value) const
{
    if (!root_) return true;
    return EvalNode(*root_, value, options_);
}

}  // namespace hostlib
