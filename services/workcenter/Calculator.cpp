#include "services/workcenter/Calculator.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// Recursive descent over the text without blanks and separators:
//   sum     := product (("+" | "-") product)*
//   product := factor (("*" | "/") factor)*
//   factor  := ("+" | "-") factor | number | "(" sum ")"
class TParser {
public:
    explicit TParser(std::string text) : text_(std::move(text)) {}

    double Parse() {
        if (text_.empty()) throw ECalcError("没有可计算的算式");
        const double value = Sum();
        if (pos_ < text_.size()) Unexpected();
        return value;
    }

private:
    double Sum() {
        double value = Product();
        while (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-')) {
            const char op = text_[pos_++];
            const double rhs = Product();
            value = op == '+' ? value + rhs : value - rhs;
        }
        return value;
    }

    double Product() {
        double value = Factor();
        while (pos_ < text_.size() && (text_[pos_] == '*' || text_[pos_] == '/')) {
            const char op = text_[pos_++];
            const double rhs = Factor();
            if (op == '/' && rhs == 0) throw ECalcError("除数不可为零");
            value = op == '*' ? value * rhs : value / rhs;
        }
        return value;
    }

    double Factor() {
        if (pos_ >= text_.size()) throw ECalcError("算式不完整");
        const char c = text_[pos_];
        if (c == '+' || c == '-') {
            ++pos_;
            const double value = Factor();
            return c == '-' ? -value : value;
        }
        if (c == '(') {
            ++pos_;
            const double value = Sum();
            if (pos_ >= text_.size() || text_[pos_] != ')') throw ECalcError("缺少右括号");
            ++pos_;
            return value;
        }
        return Number();
    }

    double Number() {
        const size_t start = pos_;
        bool digits = false, point = false;
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c >= '0' && c <= '9') {
                digits = true;
            } else if (c == '.' && !point) {
                point = true;
            } else {
                break;
            }
            ++pos_;
        }
        if (!digits) {
            pos_ = start;
            Unexpected();
        }
        return std::strtod(text_.substr(start, pos_ - start).c_str(), nullptr);
    }

    [[noreturn]] void Unexpected() const {
        if (pos_ >= text_.size()) throw ECalcError("算式不完整");
        // Name the whole character, which may be several bytes of UTF-8.
        size_t end = pos_ + 1;
        while (end < text_.size() && (static_cast<unsigned char>(text_[end]) & 0xC0) == 0x80) ++end;
        throw ECalcError("算式中有无法计算的字符: " + text_.substr(pos_, end - pos_));
    }

    std::string text_;
    size_t pos_ = 0;
};

}  // namespace

double EvaluateExpression(std::string_view expression) {
    std::string text;
    text.reserve(expression.size());
    for (char c : expression)
        if (c != ' ' && c != '\t' && c != ',') text += c;
    const double value = TParser(std::move(text)).Parse();
    if (!std::isfinite(value)) throw ECalcError("计算结果超出范围");
    return value;
}

std::string FormatCalcValue(double value) {
    char text[400];   // room for the largest double in fixed notation
    std::snprintf(text, sizeof text, "%.10f", value);
    std::string s = text;
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    if (s == "-0") s = "0";
    return s;
}
