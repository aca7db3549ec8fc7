#pragma once

// Makes the rename that ends every whole-file write fail, as a target that another program
// keeps open makes it fail on Windows, for the life of the object.
class RefusedRename {
public:
    RefusedRename();
    ~RefusedRename();
    RefusedRename(const RefusedRename&) = delete;
    RefusedRename& operator=(const RefusedRename&) = delete;
};
