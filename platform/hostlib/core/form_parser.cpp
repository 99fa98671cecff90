// Tokenizer and parser of the form-resource text.

#include <cctype>
#include <cerrno>
#include <cstdlib>

#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/form_resource.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/core/text_escape.h"

namespace hostlib {

namespace {

struct Token {
    enum Kind { End, Ident, Integer, Float, String, Punct, Hex };
    Kind kind = End;
    std::string text;
    std::int64_t integer = 0;
    double number = 0;
    std::vector<std::uint8_t> bytes;
    int line = 1;
};

class Lexer {
public:
    Lexer(std::string_view text, const std::string& file) : s_(text), file_(file) {}

    [[noreturn]] void Fail(int line, const std::string& message) const { throw EFormResourceError(file_, line, message); }

    Token Next()
    {
        SkipBlanks();
        Token t;
        t.line = line_;
        if (pos_ >= s_.size()) return t;
        const char c = s_[pos_];
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            std::size_t b = pos_;
            while (pos_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == '_')) ++pos_;
            t.kind = Token::Ident;
            t.text = std::string(s_.substr(b, pos_ - b));
            if (t.text == "hex" && pos_ < s_.size() && s_[pos_] == '{') return HexBlock(t);
            return t;
        }
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '$' ||
            ((c == '-' || c == '+') && pos_ + 1 < s_.size() &&
             (std::isdigit(static_cast<unsigned char>(s_[pos_ + 1])) || s_[pos_ + 1] == '$')))
            return Number(t);
        if (c == '"') return Quoted(t);
        t.kind = Token::Punct;
        t.text = std::string(1, c);
        ++pos_;
        return t;
    }

private:
    void SkipBlanks()
    {
        while (pos_ < s_.size()) {
            const char c = s_[pos_];
            if (c == '\n') {
                ++line_;
                ++pos_;
            } else if (c == ' ' || c == '\t' || c == '\r') {
                ++pos_;
            } else if (c == '/' && pos_ + 1 < s_.size() && s_[pos_ + 1] == '/') {
                while (pos_ < s_.size() && s_[pos_] != '\n') ++pos_;
            } else {
                break;
            }
        }
    }

    Token Number(Token& t)
    {
        std::size_t b = pos_;
        bool negative = false;
        if (s_[pos_] == '-' || s_[pos_] == '+') negative = s_[pos_++] == '-';
        if (pos_ < s_.size() && s_[pos_] == '$') {
            ++pos_;
            const std::size_t d = pos_;
            while (pos_ < s_.size() && std::isxdigit(static_cast<unsigned char>(s_[pos_]))) ++pos_;
            std::int64_t v = 0;
            if (pos_ == d || !TryStrToInt64("$" + std::string(s_.substr(d, pos_ - d)), v))
                Fail(t.line, "Invalid number " + std::string(s_.substr(b, pos_ - b)));
            t.kind = Token::Integer;
            t.integer = negative ? -v : v;
            t.text = std::string(s_.substr(b, pos_ - b));
            return t;
        }
        bool isFloat = false;
        while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) ++pos_;
        if (pos_ < s_.size() && s_[pos_] == '.' && pos_ + 1 < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_ + 1]))) {
            isFloat = true;
            ++pos_;
            while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) ++pos_;
        }
        if (pos_ < s_.size() && (s_[pos_] == 'e' || s_[pos_] == 'E')) {
            isFloat = true;
            ++pos_;
            if (pos_ < s_.size() && (s_[pos_] == '+' || s_[pos_] == '-')) ++pos_;
            const std::size_t d = pos_;
            while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) ++pos_;
            if (pos_ == d) Fail(t.line, "Invalid number " + std::string(s_.substr(b, pos_ - b)));
        }
        if (pos_ < s_.size() && (std::isalpha(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == '_'))
            Fail(t.line, "Invalid number " + std::string(s_.substr(b, pos_ + 1 - b)));
        t.text = std::string(s_.substr(b, pos_ - b));
        if (isFloat) {
            errno = 0;
            char* end = nullptr;
            t.number = std::strtod(t.text.c_str(), &end);
            if (errno == ERANGE || end != t.text.c_str() + t.text.size()) Fail(t.line, "Invalid number " + t.text);
            t.kind = Token::Float;
        } else {
            if (!TryStrToInt64(t.text, t.integer)) Fail(t.line, "Integer out of range: " + t.text);
            t.kind = Token::Integer;
        }
        return t;
    }

    Token Quoted(Token& t)
    {
        const std::size_t start = ++pos_;
        while (pos_ < s_.size() && s_[pos_] != '"' && s_[pos_] != '\n') pos_ += s_[pos_] == '\\' ? 2 : 1;
        if (pos_ >= s_.size() || s_[pos_] != '"') Fail(t.line, "Unterminated string");
        if (!UnescapeText(s_.substr(start, pos_ - start), t.text)) Fail(t.line, "Invalid escape in string");
        ++pos_;
        t.kind = Token::String;
        return t;
    }

    Token HexBlock(Token& t)
    {
        ++pos_;  // '{'
        std::string digits;
        while (true) {
            if (pos_ >= s_.size()) Fail(t.line, "Unterminated binary data");
            const char c = s_[pos_++];
            if (c == '}') break;
            if (c == '\n') ++line_;
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
            if (!std::isxdigit(static_cast<unsigned char>(c))) Fail(line_, std::string("Invalid binary digit '") + c + "'");
            digits += c;
        }
        if (digits.size() % 2) Fail(t.line, "Binary data has an odd number of digits");
        for (std::size_t i = 0; i < digits.size(); i += 2) {
            std::int64_t v = 0;
            TryStrToInt64("$" + digits.substr(i, 2), v);
            t.bytes.push_back(static_cast<std::uint8_t>(v));
        }
        t.kind = Token::Hex;
        return t;
    }

    std::string_view s_;
    const std::string& file_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

class Parser {
public:
    Parser(std::string_view text, const std::string& file) : lex_(text, file) { Advance(); }

    FormObject Document()
    {
        FormObject root = Object(0);
        if (tok_.kind != Token::End) Fail("Text after the end of the form");
        return root;
    }

private:
    static constexpr int kMaxDepth = 200;

    [[noreturn]] void Fail(const std::string& message) const { lex_.Fail(tok_.line, message); }
    void Advance() { tok_ = lex_.Next(); }
    bool IsPunct(char c) const { return tok_.kind == Token::Punct && tok_.text[0] == c; }
    void Expect(char c)
    {
        if (!IsPunct(c)) Fail(std::string("'") + c + "' expected but " + Describe() + " found");
        Advance();
    }
    std::string Describe() const
    {
        switch (tok_.kind) {
        case Token::End: return "end of file";
        case Token::String: return "string";
        case Token::Integer:
        case Token::Float: return "number " + tok_.text;
        case Token::Hex: return "binary data";
        default: return "'" + tok_.text + "'";
        }
    }
    std::string Identifier(const char* what)
    {
        if (tok_.kind != Token::Ident) Fail(std::string(what) + " expected but " + Describe() + " found");
        std::string s = tok_.text;
        Advance();
        return s;
    }

    FormObject Object(int depth)
    {
        if (depth > kMaxDepth) Fail("Objects nested too deeply");
        FormObject o;
        o.line = tok_.line;
        o.name = Identifier("Component name");
        Expect(':');
        o.className = Identifier("Class name");
        Expect('{');
        Body(o, depth);
        return o;
    }

    // Members up to the closing brace: "Name : Class {" opens a child,
    // "Path = value;" assigns.
    void Body(FormObject& o, int depth)
    {
        if (depth > kMaxDepth) Fail("Objects nested too deeply");
        while (!IsPunct('}')) {
            if (tok_.kind == Token::End) Fail("'}' expected but end of file found");
            const int line = tok_.line;
            std::string path = Identifier("Property or component name");
            if (IsPunct(':')) {
                Advance();
                FormObject child;
                child.line = line;
                child.name = path;
                child.className = Identifier("Class name");
                Expect('{');
                Body(child, depth + 1);
                o.children.push_back(std::move(child));
                continue;
            }
            o.properties.push_back(Assignment(std::move(path), line, depth));
        }
        Advance();
    }

    FormAssignment Assignment(std::string path, int line, int depth)
    {
        while (IsPunct('.')) {
            Advance();
            path += "." + Identifier("Property name");
        }
        FormAssignment a;
        a.path = std::move(path);
        a.line = line;
        Expect('=');
        a.value = Value(depth);
        Expect(';');
        return a;
    }

    FormValue Value(int depth)
    {
        if (depth > kMaxDepth) Fail("Values nested too deeply");
        FormValue v;
        v.line = tok_.line;
        switch (tok_.kind) {
        case Token::Integer:
        case Token::Float:
            v.kind = tok_.kind == Token::Integer ? FormValue::Integer : FormValue::Float;
            v.integer = tok_.integer;
            v.number = tok_.number;
            v.text = tok_.text;
            Advance();
            return v;
        case Token::String:
            v.kind = FormValue::String;
            v.text = tok_.text;
            Advance();
            // Adjacent strings join, so long texts can span lines.
            while (tok_.kind == Token::String) {
                v.text += tok_.text;
                Advance();
            }
            return v;
        case Token::Hex:
            v.kind = FormValue::Binary;
            v.bytes = tok_.bytes;
            Advance();
            return v;
        case Token::Ident:
            v.kind = FormValue::Ident;
            v.text = tok_.text;
            Advance();
            if (IsPunct('.')) Fail("References into other forms are not supported");
            return v;
        default: break;
        }
        if (IsPunct('[')) {
            Advance();
            v.kind = FormValue::Set;
            while (!IsPunct(']')) {
                v.names.push_back(Identifier("Set element"));
                if (!IsPunct(']')) Expect(',');
            }
            Advance();
            return v;
        }
        if (IsPunct('(')) {
            Advance();
            v.kind = FormValue::List;
            while (!IsPunct(')')) {
                if (tok_.kind == Token::End) Fail("')' expected but end of file found");
                v.items.push_back(Value(depth + 1));
                if (!IsPunct(')')) Expect(',');
            }
            Advance();
            return v;
        }
        if (IsPunct('<')) {
            Advance();
            v.kind = FormValue::Collection;
            while (!IsPunct('>')) {
                FormItem item;
                item.line = tok_.line;
                const std::string word = Identifier("'item' or '>'");
                if (word != "item") lex_.Fail(item.line, "'item' expected but '" + word + "' found");
                Expect('{');
                while (!IsPunct('}')) {
                    if (tok_.kind == Token::End) Fail("'}' expected but end of file found");
                    const int line = tok_.line;
                    std::string path = Identifier("Property name");
                    item.assignments.push_back(Assignment(std::move(path), line, depth + 1));
                }
                Advance();
                v.collection.push_back(std::move(item));
            }
            Advance();
            return v;
        }
        Fail("Value expected but " + Describe() + " found");
    }

    Lexer lex_;
    Token tok_;
};

}  // namespace

FormObject ParseFormResource(std::string_view text, const std::string& fileName)
{
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.remove_prefix(3);
    Parser p(text, fileName);
    return p.Document();
}

}  // namespace hostlib
