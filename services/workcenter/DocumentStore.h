#pragma once
// `TDocumentStore`: the document store "SorvakC.SorvakClass1". The documents
// live on the server (company table DOCSTORE: id, revision, file name,
// content); a check-out writes a copy into the user's cache folder
// ($XDG_CACHE_HOME, else ~/.cache, then "velmora/documents/<id>/<revision>/")
// so that the desktop can open it.
//
// CheckOut(user, mode, document id, revision, out) — or one array holding
// those five, passed by reference — returns:
//    0 and out = [path of the copy]   the document exists (revision empty or
//                                     0: the latest one);
//   -1                                no such document or revision;
//   -2                                the copy cannot be written;
//   -3                                a mode other than "R" (read a copy).
// The document is read in the login's default database (ServerLink.h).
#include "platform/core/Automation.h"

class TServerLink;

class TDocumentStore : public AutoObject {
public:
    explicit TDocumentStore(TServerLink& link);

private:
    int CheckOut(const Variant& mode, const Variant& documentId, const Variant& revision, Variant& out);

    TServerLink& link_;
};
