#include "services/appserver/SqlRewriter.h"

#include <cctype>
#include <vector>

#include "platform/core/Strings.h"

namespace {

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '#' || c == '@'; }

bool WordAt(std::string_view s, size_t pos, std::string_view word) {
    if (pos + word.size() > s.size()) return false;
    if (!SameText(s.substr(pos, word.size()), word)) return false;
    if (pos > 0 && IsWordChar(s[pos - 1])) return false;
    return pos + word.size() == s.size() || !IsWordChar(s[pos + word.size()]);
}

size_t SkipBlanks(std::string_view s, size_t pos) {
    while (pos < s.size() && std::isspace(static_cast<unsigned char>(s[pos]))) ++pos;
    return pos;
}

// End (exclusive) of a quoted text or comment starting at pos, or pos when none starts there.
size_t SkipOpaque(std::string_view s, size_t pos) {
    const char c = s[pos];
    if (c == '\'' || c == '"' || c == '[') {
        const char close = c == '[' ? ']' : c;
        size_t i = pos + 1;
        while (i < s.size()) {
            if (s[i] == close) {
                // A doubled quote inside the text is a quote, not the end.
                if (close != ']' && i + 1 < s.size() && s[i + 1] == close) {
                    i += 2;
                    continue;
                }
                return i + 1;
            }
            ++i;
        }
        return s.size();
    }
    if (c == '-' && pos + 1 < s.size() && s[pos + 1] == '-') {
        const size_t end = s.find('\n', pos);
        return end == std::string_view::npos ? s.size() : end;
    }
    if (c == '/' && pos + 1 < s.size() && s[pos + 1] == '*') {
        const size_t end = s.find("*/", pos + 2);
        return end == std::string_view::npos ? s.size() : end + 2;
    }
    return pos;
}

struct PendingLimit {
    int depth;
    std::string count;
};

}  // namespace

std::string RewriteSql(std::string_view sql, std::string_view databaseName) {
    std::string out;
    out.reserve(sql.size() + 16);
    std::vector<PendingLimit> limits;
    int depth = 0;
    bool commentToEnd = false;

    auto flushLimits = [&](int atDepth) {
        while (!limits.empty() && limits.back().depth == atDepth) {
            // Keep trailing blanks and a final ";" after the limit.
            size_t keep = out.size();
            while (keep > 0 && (std::isspace(static_cast<unsigned char>(out[keep - 1])) || out[keep - 1] == ';')) --keep;
            const std::string tail = out.substr(keep);
            out.resize(keep);
            out += commentToEnd ? "\n" : " ";
            out += "LIMIT " + limits.back().count;
            out += tail;
            limits.pop_back();
        }
    };

    size_t i = 0;
    while (i < sql.size()) {
        const size_t opaqueEnd = SkipOpaque(sql, i);
        if (opaqueEnd != i) {
            out.append(sql.substr(i, opaqueEnd - i));
            // A line comment that runs to the end would swallow a LIMIT added there.
            commentToEnd = opaqueEnd == sql.size() && sql[i] == '-';
            i = opaqueEnd;
            continue;
        }
        commentToEnd = false;
        const char c = sql[i];
        // "$$" before a table name: only at the start of a name, so that dropping
        // it never joins two words into a new one.
        if (c == '$' && i + 1 < sql.size() && sql[i + 1] == '$' && i + 2 < sql.size() && IsWordChar(sql[i + 2]) &&
            (i == 0 || sql[i - 1] != '$') && (out.empty() || !IsWordChar(out.back()))) {
            i += 2;
            continue;
        }
        if (c == '(') {
            ++depth;
            out += c;
            ++i;
            continue;
        }
        if (c == ')') {
            flushLimits(depth);
            if (depth > 0) --depth;
            out += c;
            ++i;
            continue;
        }
        if (IsWordChar(c) && (i == 0 || !IsWordChar(sql[i - 1]))) {
            size_t end = i;
            while (end < sql.size() && IsWordChar(sql[end])) ++end;
            const std::string_view word = sql.substr(i, end - i);
            // A database qualifier: name followed by ".." and a table name.
            if (sql.substr(end, 2) == ".." && end + 2 < sql.size() && IsWordChar(sql[end + 2]) &&
                (out.empty() || !IsWordChar(out.back()))) {
                if (!SameText(word, databaseName))
                    throw ESqlRewriteError("Database " + std::string(word) + " is not available in this session");
                i = end + 2;
                continue;
            }
            if (SameText(word, "SELECT")) {
                out.append(word);
                size_t pos = SkipBlanks(sql, end);
                size_t topAt = pos;
                std::string distinct;
                if (WordAt(sql, pos, "DISTINCT")) {
                    distinct = std::string(sql.substr(pos, 8));
                    topAt = SkipBlanks(sql, pos + 8);
                }
                if (WordAt(sql, topAt, "TOP")) {
                    size_t numAt = SkipBlanks(sql, topAt + 3);
                    const bool paren = numAt < sql.size() && sql[numAt] == '(';
                    if (paren) numAt = SkipBlanks(sql, numAt + 1);
                    size_t numEnd = numAt;
                    while (numEnd < sql.size() && std::isdigit(static_cast<unsigned char>(sql[numEnd]))) ++numEnd;
                    size_t after = numEnd;
                    if (paren) {
                        after = SkipBlanks(sql, numEnd);
                        if (after < sql.size() && sql[after] == ')') ++after;
                        else after = numAt;  // not a "top (n)": leave as written
                    }
                    if (numEnd > numAt && numEnd - numAt <= 18 && after > numAt &&
                        (after == sql.size() || !IsWordChar(sql[after]))) {
                        limits.push_back({depth, std::string(sql.substr(numAt, numEnd - numAt))});
                        if (!distinct.empty()) out += " " + distinct;
                        i = after;
                        continue;
                    }
                }
                i = end;
                continue;
            }
            out.append(word);
            i = end;
            continue;
        }
        out += c;
        ++i;
    }
    // Selects whose parenthesis never closed end with the text.
    while (!limits.empty()) flushLimits(limits.back().depth);
    return out;
}
