// A small recursive-descent parser that types every node as it builds it, so a formula
// that parses has been checked through; evaluation then walks the typed tree. Positions
// count characters (not bytes), as the editor shows the text.
#include "kwprint/trFormula.h"

#include "kwcommon/values/xd.h"
#include "kwcommon/x_text.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

struct trFormula::Node {
    enum Kind { Number, Text, Field, Unary, Binary, Call } kind;
    trFormulaType type = trFormulaType::Number;
    std::string name; // operator, field or function
    double number = 0;
    std::string text;
    std::vector<std::unique_ptr<Node>> args;
};

namespace {

using Node = trFormula::Node;
using Type = trFormulaType;

struct Failure {
    int position;
    std::string message;
};

struct Token {
    enum Kind { End, Number, Text, Name, Symbol } kind = End;
    std::string text;
    double number = 0;
    int position = 0; // 1-based character
};

bool IsNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

class Lexer {
public:
    explicit Lexer(const std::string& text) : _text(text) {}

    std::vector<Token> Tokens() {
        std::vector<Token> tokens;
        while (true) {
            while (_at < _text.size() && std::isspace(static_cast<unsigned char>(_text[_at]))) Advance();
            Token token;
            token.position = _chars + 1;
            if (_at >= _text.size()) {
                tokens.push_back(token);
                return tokens;
            }
            const char c = _text[_at];
            if (std::isdigit(static_cast<unsigned char>(c)) ||
                (c == '.' && _at + 1 < _text.size() && std::isdigit(static_cast<unsigned char>(_text[_at + 1])))) {
                const size_t start = _at;
                while (_at < _text.size() && (std::isdigit(static_cast<unsigned char>(_text[_at])) || _text[_at] == '.'))
                    Advance();
                token.kind = Token::Number;
                token.text = _text.substr(start, _at - start);
                if (std::count(token.text.begin(), token.text.end(), '.') > 1)
                    throw Failure{token.position, "\"" + token.text + "\" is not a number"};
                token.number = std::strtod(token.text.c_str(), nullptr);
            } else if (c == '"') {
                Advance();
                token.kind = Token::Text;
                while (true) {
                    if (_at >= _text.size()) throw Failure{token.position, "the text has no closing quote"};
                    if (_text[_at] == '"') {
                        Advance();
                        if (_at < _text.size() && _text[_at] == '"') {
                            token.text += '"';
                            Advance();
                            continue;
                        }
                        break;
                    }
                    token.text += _text[_at];
                    Advance();
                }
            } else if (IsNameStart(c)) {
                const size_t start = _at;
                while (_at < _text.size() && IsNameChar(_text[_at])) Advance();
                token.kind = Token::Name;
                token.text = _text.substr(start, _at - start);
            } else {
                static const char* const twoChar[] = {"<=", ">=", "<>"};
                token.kind = Token::Symbol;
                for (const char* symbol : twoChar) {
                    if (_text.compare(_at, 2, symbol) == 0) token.text = symbol;
                }
                if (token.text.empty()) {
                    if (std::string("+-*/&=<>(),").find(c) == std::string::npos) {
                        // The whole character, however many bytes it takes.
                        size_t end = _at + 1;
                        while (end < _text.size() && (static_cast<unsigned char>(_text[end]) & 0xC0) == 0x80) ++end;
                        throw Failure{token.position, "\"" + _text.substr(_at, end - _at) + "\" is not allowed here"};
                    }
                    token.text = std::string(1, c);
                }
                for (size_t i = 0; i < token.text.size(); ++i) Advance();
            }
            tokens.push_back(token);
        }
    }

private:
    void Advance() {
        // A character is counted at its first byte.
        if ((static_cast<unsigned char>(_text[_at]) & 0xC0) != 0x80) ++_chars;
        ++_at;
        while (_at < _text.size() && (static_cast<unsigned char>(_text[_at]) & 0xC0) == 0x80) ++_at;
    }

    const std::string& _text;
    size_t _at = 0;
    int _chars = 0;
};

const char* Article(Type type) {
    switch (type) {
    case Type::Number: return "a number";
    case Type::Text: return "a text";
    case Type::Date: return "a date";
    case Type::YesNo: return "a yes/no value";
    }
    return "";
}

struct Function {
    const char* name;
    std::vector<std::optional<Type>> args; // nullopt: any type
    std::optional<Type> result;            // nullopt: the type of the second argument (if)
};

const std::vector<Function>& Functions() {
    static const std::vector<Function> functions = {
        {"if", {Type::YesNo, std::nullopt, std::nullopt}, std::nullopt},
        {"round", {Type::Number, Type::Number}, Type::Number},
        {"trunc", {Type::Number}, Type::Number},
        {"abs", {Type::Number}, Type::Number},
        {"min", {Type::Number, Type::Number}, Type::Number},
        {"max", {Type::Number, Type::Number}, Type::Number},
        {"today", {}, Type::Date},
        {"year", {Type::Date}, Type::Number},
        {"month", {Type::Date}, Type::Number},
        {"day", {Type::Date}, Type::Number},
        {"adddays", {Type::Date, Type::Number}, Type::Date},
        {"days", {Type::Date, Type::Date}, Type::Number},
        {"text", {std::nullopt}, Type::Text},
        {"len", {Type::Text}, Type::Number},
        {"upper", {Type::Text}, Type::Text},
        {"lower", {Type::Text}, Type::Text},
        {"left", {Type::Text, Type::Number}, Type::Text},
        {"right", {Type::Text, Type::Number}, Type::Text},
    };
    return functions;
}

class Parser {
public:
    Parser(std::vector<Token> tokens, const trFormula::FieldTypes& fields) : _tokens(std::move(tokens)), _fields(fields) {}

    std::unique_ptr<Node> Formula() {
        if (Peek().kind == Token::End) throw Failure{1, "the formula is empty"};
        auto node = Or();
        if (Peek().kind != Token::End) throw Failure{Peek().position, "\"" + Peek().text + "\" was not expected here"};
        return node;
    }

private:
    const Token& Peek() const { return _tokens[_next]; }
    const Token& Take() { return _tokens[_next++]; }
    bool IsSymbol(const char* symbol) const { return Peek().kind == Token::Symbol && Peek().text == symbol; }
    bool IsWord(const char* word) const { return Peek().kind == Token::Name && Lower(Peek().text) == word; }
    void Expect(const char* symbol, const std::string& what) {
        if (!IsSymbol(symbol)) throw Failure{Peek().position, "expected \"" + std::string(symbol) + "\" " + what};
        Take();
    }

    static std::unique_ptr<Node> Make(Node::Kind kind, Type type, std::string name) {
        auto node = std::make_unique<Node>();
        node->kind = kind;
        node->type = type;
        node->name = std::move(name);
        return node;
    }
    static std::unique_ptr<Node> Binary(const std::string& op, Type type, std::unique_ptr<Node> left,
                                        std::unique_ptr<Node> right) {
        auto node = Make(Node::Binary, type, op);
        node->args.push_back(std::move(left));
        node->args.push_back(std::move(right));
        return node;
    }
    static void Need(const Node& node, Type type, int position, const std::string& what) {
        if (node.type != type)
            throw Failure{position, what + " needs " + Article(type) + ", not " + Article(node.type)};
    }

    std::unique_ptr<Node> Or() {
        auto left = And();
        while (IsWord("or")) {
            const int at = Take().position;
            auto right = And();
            Need(*left, Type::YesNo, at, "\"or\"");
            Need(*right, Type::YesNo, at, "\"or\"");
            left = Binary("or", Type::YesNo, std::move(left), std::move(right));
        }
        return left;
    }
    std::unique_ptr<Node> And() {
        auto left = Not();
        while (IsWord("and")) {
            const int at = Take().position;
            auto right = Not();
            Need(*left, Type::YesNo, at, "\"and\"");
            Need(*right, Type::YesNo, at, "\"and\"");
            left = Binary("and", Type::YesNo, std::move(left), std::move(right));
        }
        return left;
    }
    std::unique_ptr<Node> Not() {
        if (!IsWord("not")) return Comparison();
        const int at = Take().position;
        auto operand = Not();
        Need(*operand, Type::YesNo, at, "\"not\"");
        auto node = Make(Node::Unary, Type::YesNo, "not");
        node->args.push_back(std::move(operand));
        return node;
    }
    std::unique_ptr<Node> Comparison() {
        auto left = Join();
        for (const char* op : {"=", "<>", "<=", ">=", "<", ">"}) {
            if (!IsSymbol(op)) continue;
            const int at = Take().position;
            auto right = Join();
            if (left->type != right->type)
                throw Failure{at, "\"" + std::string(op) + "\" compares " + Article(left->type) + " with " +
                                      Article(right->type) + ": both sides must be of one type"};
            return Binary(op, Type::YesNo, std::move(left), std::move(right));
        }
        return left;
    }
    std::unique_ptr<Node> Join() {
        auto left = Additive();
        while (IsSymbol("&")) {
            Take();
            left = Binary("&", Type::Text, std::move(left), Additive());
        }
        return left;
    }
    std::unique_ptr<Node> Additive() {
        auto left = Term();
        while (IsSymbol("+") || IsSymbol("-")) {
            const Token op = Take();
            auto right = Term();
            const Type a = left->type, b = right->type;
            Type result;
            if (a == Type::Number && b == Type::Number) result = Type::Number;
            else if (op.text == "+" && ((a == Type::Date && b == Type::Number) || (a == Type::Number && b == Type::Date)))
                result = Type::Date;
            else if (op.text == "-" && a == Type::Date && b == Type::Number) result = Type::Date;
            else if (op.text == "-" && a == Type::Date && b == Type::Date) result = Type::Number;
            else
                throw Failure{op.position, "\"" + op.text + "\" cannot take " + Article(a) + " and " + Article(b) +
                                               (op.text == "+" && (a == Type::Text || b == Type::Text)
                                                    ? " (texts are joined with \"&\")"
                                                    : "")};
            left = Binary(op.text, result, std::move(left), std::move(right));
        }
        return left;
    }
    std::unique_ptr<Node> Term() {
        auto left = Unary();
        while (IsSymbol("*") || IsSymbol("/")) {
            const Token op = Take();
            auto right = Unary();
            Need(*left, Type::Number, op.position, "\"" + op.text + "\"");
            Need(*right, Type::Number, op.position, "\"" + op.text + "\"");
            left = Binary(op.text, Type::Number, std::move(left), std::move(right));
        }
        return left;
    }
    std::unique_ptr<Node> Unary() {
        if (!IsSymbol("-")) return Primary();
        const int at = Take().position;
        auto operand = Unary();
        Need(*operand, Type::Number, at, "\"-\"");
        auto node = Make(Node::Unary, Type::Number, "-");
        node->args.push_back(std::move(operand));
        return node;
    }
    std::unique_ptr<Node> Primary() {
        const Token& token = Peek();
        switch (token.kind) {
        case Token::Number: {
            auto node = Make(Node::Number, Type::Number, "");
            node->number = Take().number;
            return node;
        }
        case Token::Text: {
            auto node = Make(Node::Text, Type::Text, "");
            node->text = Take().text;
            return node;
        }
        case Token::Name: {
            const Token name = Take();
            if (IsSymbol("(")) return CallOf(name);
            const std::string lower = Lower(name.text);
            if (lower == "yes" || lower == "no") {
                auto node = Make(Node::Number, Type::YesNo, lower);
                return node;
            }
            const std::optional<Type> type = _fields ? _fields(name.text) : std::nullopt;
            if (!type) throw Failure{name.position, "there is no field \"" + name.text + "\""};
            return Make(Node::Field, *type, name.text);
        }
        case Token::Symbol:
            if (token.text == "(") {
                Take();
                auto node = Or();
                Expect(")", "to close the \"(\"");
                return node;
            }
            throw Failure{token.position, "\"" + token.text + "\" was not expected here"};
        case Token::End: break;
        }
        throw Failure{token.position, "the formula ends too soon"};
    }
    std::unique_ptr<Node> CallOf(const Token& name) {
        const std::string lower = Lower(name.text);
        const auto& functions = Functions();
        const auto it = std::find_if(functions.begin(), functions.end(), [&](const Function& f) { return lower == f.name; });
        if (it == functions.end()) throw Failure{name.position, "there is no function \"" + name.text + "\""};
        Take(); // (
        auto node = Make(Node::Call, Type::Number, lower);
        std::vector<int> positions;
        if (!IsSymbol(")")) {
            while (true) {
                positions.push_back(Peek().position);
                node->args.push_back(Or());
                if (!IsSymbol(",")) break;
                Take();
            }
        }
        const size_t wanted = it->args.size();
        if (node->args.size() != wanted)
            throw Failure{name.position, lower + " takes " + std::to_string(wanted) +
                                             (wanted == 1 ? " value" : " values") + ", not " +
                                             std::to_string(node->args.size())};
        Expect(")", "after the values of " + lower);
        for (size_t i = 0; i < wanted; ++i) {
            if (it->args[i] && node->args[i]->type != *it->args[i])
                throw Failure{positions[i], lower + " needs " + Article(*it->args[i]) + " as value " +
                                                std::to_string(i + 1) + ", not " + Article(node->args[i]->type)};
        }
        if (it->result) node->type = *it->result;
        else {
            if (node->args[1]->type != node->args[2]->type)
                throw Failure{positions[2], "if gives " + std::string(Article(node->args[1]->type)) +
                                                " or " + Article(node->args[2]->type) + ": both must be of one type"};
            node->type = node->args[1]->type;
        }
        return node;
    }

    std::vector<Token> _tokens;
    size_t _next = 0;
    const trFormula::FieldTypes& _fields;
};

std::optional<std::chrono::year_month_day> Ymd(const trFormulaDate& date) {
    if (!date.day) return std::nullopt;
    return std::chrono::year_month_day{std::chrono::sys_days{std::chrono::days{*date.day}}};
}

trFormulaDate DateOf(std::chrono::year_month_day ymd) {
    return {std::chrono::sys_days{ymd}.time_since_epoch().count()};
}

// Orders two values of one type; empty and missing dates come first.
int Compare(const trFormulaValue& a, const trFormulaValue& b) {
    if (a.index() != b.index()) return a.index() < b.index() ? -1 : 1;
    if (auto* x = std::get_if<double>(&a)) {
        const double y = std::get<double>(b);
        return *x < y ? -1 : *x > y ? 1 : 0;
    }
    if (auto* x = std::get_if<std::string>(&a)) return x->compare(std::get<std::string>(b)) < 0 ? -1 : *x == std::get<std::string>(b) ? 0 : 1;
    if (auto* x = std::get_if<trFormulaDate>(&a)) {
        const long p = x->day.value_or(-1000000000L), q = std::get<trFormulaDate>(b).day.value_or(-1000000000L);
        return p < q ? -1 : p > q ? 1 : 0;
    }
    if (auto* x = std::get_if<bool>(&a)) return static_cast<int>(*x) - static_cast<int>(std::get<bool>(b));
    return 0;
}

trFormulaValue Eval(const Node& node, const trFormula::FieldValues& fields);

size_t CharCount(const std::string* text) {
    if (!text) return 0;
    return static_cast<size_t>(std::count_if(text->begin(), text->end(),
                                             [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::optional<double> NumberOf(const trFormulaValue& value) {
    if (auto* x = std::get_if<double>(&value)) return *x;
    return std::nullopt;
}

trFormulaValue EvalBinary(const Node& node, const trFormula::FieldValues& fields) {
    const std::string& op = node.name;
    if (op == "and" || op == "or") {
        const trFormulaValue left = Eval(*node.args[0], fields);
        const bool l = std::holds_alternative<bool>(left) && std::get<bool>(left);
        if (op == "and" && !l) return false;
        if (op == "or" && l) return true;
        const trFormulaValue right = Eval(*node.args[1], fields);
        return std::holds_alternative<bool>(right) && std::get<bool>(right);
    }
    const trFormulaValue a = Eval(*node.args[0], fields);
    const trFormulaValue b = Eval(*node.args[1], fields);
    if (op == "&") return trFormula::Shown(a) + trFormula::Shown(b);
    if (op == "=" || op == "<>" || op == "<" || op == "<=" || op == ">" || op == ">=") {
        if (std::holds_alternative<std::monostate>(a) || std::holds_alternative<std::monostate>(b)) return false;
        const int c = Compare(a, b);
        if (op == "=") return c == 0;
        if (op == "<>") return c != 0;
        if (op == "<") return c < 0;
        if (op == "<=") return c <= 0;
        if (op == ">") return c > 0;
        return c >= 0;
    }
    if (node.type == Type::Date) {
        // date + days, days + date, date - days
        const bool dateFirst = std::holds_alternative<trFormulaDate>(a);
        const trFormulaDate date = dateFirst ? std::get<trFormulaDate>(a) : std::get_if<trFormulaDate>(&b) ? std::get<trFormulaDate>(b) : trFormulaDate{};
        const std::optional<double> days = NumberOf(dateFirst ? b : a);
        if (!date.day || !days) return trFormulaDate{};
        const long shift = static_cast<long>(std::trunc(*days));
        return trFormulaDate{*date.day + (op == "-" ? -shift : shift)};
    }
    if (std::holds_alternative<trFormulaDate>(a)) { // date - date
        const auto& x = std::get<trFormulaDate>(a);
        const auto* y = std::get_if<trFormulaDate>(&b);
        if (!x.day || !y || !y->day) return std::monostate{};
        return static_cast<double>(*x.day - *y->day);
    }
    const std::optional<double> x = NumberOf(a), y = NumberOf(b);
    if (!x || !y) return std::monostate{};
    if (op == "+") return *x + *y;
    if (op == "-") return *x - *y;
    if (op == "*") return *x * *y;
    if (*y == 0) return std::monostate{};
    return *x / *y;
}

trFormulaValue EvalCall(const Node& node, const trFormula::FieldValues& fields) {
    const std::string& f = node.name;
    if (f == "if") {
        const trFormulaValue test = Eval(*node.args[0], fields);
        const bool yes = std::holds_alternative<bool>(test) && std::get<bool>(test);
        return Eval(*node.args[yes ? 1 : 2], fields);
    }
    if (f == "today") return DateOf(xd_today());
    std::vector<trFormulaValue> v;
    for (const auto& arg : node.args) v.push_back(Eval(*arg, fields));
    if (f == "text") return trFormula::Shown(v[0]);
    if (f == "len") return static_cast<double>(CharCount(std::get_if<std::string>(&v[0])));
    if (f == "upper" || f == "lower") {
        std::string text = std::get_if<std::string>(&v[0]) ? std::get<std::string>(v[0]) : std::string();
        for (char& c : text)
            c = static_cast<char>(f == "upper" ? std::toupper(static_cast<unsigned char>(c)) : std::tolower(static_cast<unsigned char>(c)));
        return text;
    }
    if (f == "left" || f == "right") {
        const std::string text = std::get_if<std::string>(&v[0]) ? std::get<std::string>(v[0]) : std::string();
        const std::optional<double> n = NumberOf(v[1]);
        if (!n) return std::monostate{};
        // Characters, not bytes: find the byte where the n-th character starts.
        std::vector<size_t> starts;
        for (size_t i = 0; i < text.size(); ++i)
            if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) starts.push_back(i);
        const size_t count = static_cast<size_t>(std::clamp(*n, 0.0, static_cast<double>(starts.size())));
        if (f == "left") return text.substr(0, count < starts.size() ? starts[count] : text.size());
        return count == 0 ? std::string() : text.substr(starts[starts.size() - count]);
    }
    if (f == "year" || f == "month" || f == "day") {
        const auto* date = std::get_if<trFormulaDate>(&v[0]);
        const auto ymd = date ? Ymd(*date) : std::nullopt;
        if (!ymd) return std::monostate{};
        if (f == "year") return static_cast<double>(static_cast<int>(ymd->year()));
        if (f == "month") return static_cast<double>(static_cast<unsigned>(ymd->month()));
        return static_cast<double>(static_cast<unsigned>(ymd->day()));
    }
    if (f == "adddays") {
        const auto* date = std::get_if<trFormulaDate>(&v[0]);
        const std::optional<double> n = NumberOf(v[1]);
        if (!date || !date->day || !n) return trFormulaDate{};
        return trFormulaDate{*date->day + static_cast<long>(std::trunc(*n))};
    }
    if (f == "days") {
        const auto* from = std::get_if<trFormulaDate>(&v[0]);
        const auto* to = std::get_if<trFormulaDate>(&v[1]);
        if (!from || !to || !from->day || !to->day) return std::monostate{};
        return static_cast<double>(*to->day - *from->day);
    }
    const std::optional<double> x = NumberOf(v[0]);
    if (!x) return std::monostate{};
    if (f == "trunc") return std::trunc(*x);
    if (f == "abs") return std::fabs(*x);
    const std::optional<double> y = NumberOf(v[1]);
    if (!y) return std::monostate{};
    if (f == "min") return std::min(*x, *y);
    if (f == "max") return std::max(*x, *y);
    // round: half away from zero at the given places (0 to 10)
    const double scale = std::pow(10.0, std::clamp(std::trunc(*y), 0.0, 10.0));
    return std::round(*x * scale) / scale;
}

trFormulaValue Eval(const Node& node, const trFormula::FieldValues& fields) {
    switch (node.kind) {
    case Node::Number:
        if (node.type == Type::YesNo) return node.name == "yes";
        return node.number;
    case Node::Text: return node.text;
    case Node::Field: return fields ? fields(node.name) : trFormulaValue{};
    case Node::Unary: {
        const trFormulaValue v = Eval(*node.args[0], fields);
        if (node.name == "not") return !(std::holds_alternative<bool>(v) && std::get<bool>(v));
        const std::optional<double> x = NumberOf(v);
        return x ? trFormulaValue(-*x) : trFormulaValue(std::monostate{});
    }
    case Node::Binary: return EvalBinary(node, fields);
    case Node::Call: return EvalCall(node, fields);
    }
    return std::monostate{};
}

} // namespace

std::string trFormula::Error::Text() const { return "Position " + std::to_string(position) + ": " + message; }

trFormula::trFormula(std::unique_ptr<Node> root, trFormulaType type) : _root(std::move(root)), _type(type) {}
trFormula::~trFormula() = default;

std::unique_ptr<trFormula> trFormula::Compile(const std::string& text, const FieldTypes& fields, Error* error) {
    try {
        Lexer lexer(text);
        Parser parser(lexer.Tokens(), fields);
        auto root = parser.Formula();
        const trFormulaType type = root->type;
        return std::unique_ptr<trFormula>(new trFormula(std::move(root), type));
    } catch (const Failure& failure) {
        if (error) *error = {failure.position, failure.message};
        return nullptr;
    }
}

trFormulaValue trFormula::Evaluate(const FieldValues& fields) const { return Eval(*_root, fields); }

std::string trFormula::Shown(const trFormulaValue& value) {
    if (auto* x = std::get_if<double>(&value)) {
        if (!std::isfinite(*x)) return "";
        char text[64];
        std::snprintf(text, sizeof text, "%.6f", *x);
        std::string shown = text;
        while (shown.back() == '0') shown.pop_back();
        if (shown.back() == '.') shown.pop_back();
        return shown == "-0" ? "0" : shown;
    }
    if (auto* x = std::get_if<std::string>(&value)) return *x;
    if (auto* x = std::get_if<trFormulaDate>(&value)) {
        const auto ymd = Ymd(*x);
        return ymd ? xd_format_date(*ymd, xd_date_format()) : std::string();
    }
    if (auto* x = std::get_if<bool>(&value)) return *x ? "Yes" : "No";
    return "";
}

const char* trFormula::TypeName(trFormulaType type) {
    switch (type) {
    case trFormulaType::Number: return "Number";
    case trFormulaType::Text: return "Text";
    case trFormulaType::Date: return "Date";
    case trFormulaType::YesNo: return "Yes/No";
    }
    return "";
}
