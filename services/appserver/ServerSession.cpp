#include "services/appserver/ServerSession.h"

#include <cctype>

#include "platform/core/Automation.h"
#include "platform/core/Strings.h"
#include "services/appserver/SqlRewriter.h"

TStorage& TServerSession::Db() {
    if (!Storage) throw EOleError("Not connected: call Connect first");
    return *Storage;
}

const TProgramDef& TServerSession::Def() const {
    if (!Storage) throw EOleError("Not connected: call Connect first");
    if (!HasProgram) throw EOleError("Program " + ProgramId + " has no definition on this server");
    return Program;
}

std::string TServerSession::Sql(std::string_view text) const { return RewriteSql(text, DatabaseName); }

bool TServerSession::IsMainColumn(std::string_view name) const { return MainColumns.find(name) != MainColumns.end(); }

namespace {
bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }
}  // namespace

size_t TopLevelFrom(std::string_view s) {
    int depth = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '\'' || c == '"') {
            const size_t end = s.find(c, i + 1);
            if (end == std::string_view::npos) return std::string_view::npos;
            i = end;
        } else if (c == '(') {
            ++depth;
        } else if (c == ')') {
            --depth;
        } else if (depth == 0 && i + 4 <= s.size() && SameText(s.substr(i, 4), "FROM") &&
                   (i == 0 || !IsWordChar(s[i - 1])) && (i + 4 == s.size() || !IsWordChar(s[i + 4]))) {
            return i;
        }
    }
    return std::string_view::npos;
}
