#pragma once
// An advisory lock on a folder, held from Acquire until destruction: the lock file
// ".NAME.lock" beside the folder (created when missing and left in place). A second process
// asking for the same folder is refused at once; the lock goes with its holder, also when the
// holder is killed. Used by one thread.

#include <string>

class CFolderLock
{
public:
    CFolderLock() = default;
    ~CFolderLock();
    CFolderLock(const CFolderLock&) = delete;
    CFolderLock& operator=(const CFolderLock&) = delete;

    // Creates the folders above target when missing. False with one line in *pError, naming the
    // folder as in use when another process holds it.
    bool Acquire(const std::string& target, std::string* pError);

private:
    int m_fd = -1;
};
