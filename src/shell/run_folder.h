#pragma once

#include <QString>

#include <memory>

class QTemporaryDir;

namespace ruzez {

// The one temporary folder of a run, RUZEZ-<process id>-XXXXXX in the
// system's temporary folder, removed with this object or by remove() (the
// program ends with _exit, past every destructor). A run ended by SIGKILL
// or a power cut leaves its folder behind: each run first removes those of
// the current user's runs whose process is gone.
class RunFolder
{
public:
    RunFolder();
    ~RunFolder();
    RunFolder(const RunFolder &) = delete;
    RunFolder &operator=(const RunFolder &) = delete;

    // Empty when the folder could not be made.
    QString path() const;
    void remove();

private:
    std::unique_ptr<QTemporaryDir> m_folder;
};

} // namespace ruzez
