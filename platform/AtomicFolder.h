#pragma once
// CAtomicFolder: replaces a folder's content as a whole. The new files are written into a private
// folder beside the target; Commit swaps it with the target in one step (or, on file systems that
// cannot exchange two names, with two renames in a row) and removes the old content. A process
// killed before Commit leaves the target as it was; one killed inside Commit leaves the old or
// the new content under the target's name. Used by one thread at a time.
//
// Only entries that the caller names may be swept away with the old content: a target that holds
// anything else is refused, so a folder of the user's own files is never replaced.

#include <string>
#include <vector>

class CAtomicFolder
{
public:
    CAtomicFolder() = default;
    // Removes the private folder unless it was committed.
    ~CAtomicFolder();
    CAtomicFolder(const CAtomicFolder&) = delete;
    CAtomicFolder& operator=(const CAtomicFolder&) = delete;

    // Makes the private folder beside target. An existing target must be a folder (a symbolic
    // link to one is resolved) whose entries all appear in replaceable.
    bool Open(const std::string& target, const std::vector<std::string>& replaceable);
    // Where the new content is written.
    const std::string& Path() const { return m_temp; }
    bool Commit();

    const std::string& Error() const { return m_error; }

private:
    bool CheckTarget();
    bool Fail(const std::string& message);

    std::string m_target;
    std::string m_temp;
    std::vector<std::string> m_replaceable;
    std::string m_error;
};

// Removes the private folders that killed writers left beside target. Call only while holding
// the target's CFolderLock, so that no live writer's folder is taken.
void WoxRemoveStaleFolders(const std::string& target);
