#include "services/workcenter/DocumentStore.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/core/Paths.h"
#include "platform/core/Strings.h"
#include "services/workcenter/ServerLink.h"

namespace {

std::string CacheFolder() {
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    if (xdg && *xdg) return IncludeTrailingPathDelimiter(xdg);
    const char* home = std::getenv("HOME");
    return IncludeTrailingPathDelimiter(home && *home ? home : TempFolder()) + ".cache/";
}

// A name from the server made safe as one path component.
std::string PathComponent(std::string name, const char* fallback) {
    for (char& c : name)
        if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20) c = '_';
    name = Trim(name);
    if (name.empty() || name == "." || name == "..") return fallback;
    return name;
}

}  // namespace

TDocumentStore::TDocumentStore(TServerLink& link) : AutoObject("SorvakC.SorvakClass1"), link_(link) {
    Method("CheckOut", [this](OleArgs& a) {
        if (a.size() == 1 && a[0].IsArray() && a[0].DimCount() == 1) {
            Variant& args = a[0];
            if (args.Count() < 5) args.Redim(args.LowBound() + 4);
            const int low = args.LowBound();
            return Variant(CheckOut(args[low + 1], args[low + 2], args[low + 3], args[low + 4]));
        }
        a.resize(std::max<size_t>(a.size(), 5));
        return Variant(CheckOut(a[1], a[2], a[3], a[4]));
    });
}

int TDocumentStore::CheckOut(const Variant& mode, const Variant& documentId, const Variant& revision, Variant& out) {
    out = Variant();
    if (!SameText(Trim(mode.AsString()), "R")) return -3;
    const std::string id = Trim(documentId.AsString());
    if (id.empty()) return -1;
    const std::string revisionText = Trim(revision.AsString());
    const bool latest = revisionText.empty() || revisionText == "0";
    long long number = 0;
    if (!latest) {
        try {
            number = Variant(revisionText).AsInteger();
        } catch (const EConvertError&) {
            return -1;
        }
    }
    const Variant rows =
        latest ? link_.Query(link_.DefaultDatabase(),
                             "SELECT DS_REVISION, DS_FILENAME, DS_CONTENT FROM DOCSTORE WHERE DS_DOCID = ? "
                             "ORDER BY DS_REVISION DESC",
                             "DS_REVISION,DS_FILENAME,DS_CONTENT", Variant::ArrayOf({id}))
               : link_.Query(link_.DefaultDatabase(),
                             "SELECT DS_REVISION, DS_FILENAME, DS_CONTENT FROM DOCSTORE WHERE DS_DOCID = ? AND DS_REVISION = ?",
                             "DS_REVISION,DS_FILENAME,DS_CONTENT", Variant::ArrayOf({id, number}));
    if (!rows.IsArray() || rows.Count() == 0) return -1;
    const Variant& row = rows[rows.LowBound()];
    const std::string folder = CacheFolder() + "velmora/documents/" + PathComponent(id, "document") + "/" +
                               PathComponent(row[0].AsString(), "0") + "/";
    const std::string path = folder + PathComponent(row[1].AsString(), "document");
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) return -2;
    {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        const std::string content = row[2].AsString();
        file.write(content.data(), static_cast<std::streamsize>(content.size()));
        if (!file) return -2;
    }
    out = Variant::ArrayOf({path});
    return 0;
}
