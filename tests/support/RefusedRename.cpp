#include "RefusedRename.h"

#include "core/WholeFile.h"

RefusedRename::RefusedRename() {
    WholeFile::setCommitForTests([](QSaveFile&) { return false; });
}

RefusedRename::~RefusedRename() {
    WholeFile::setCommitForTests(nullptr);
}
