#pragma once

#include <QString>

namespace ruzez {

// Shows a help file. Command 11 asks for its contents and index.
class HelpEngine
{
public:
    static constexpr int kFinder = 11;

    virtual ~HelpEngine() = default;
    virtual void showHelp(const QString &file, int command) = 0;
};

} // namespace ruzez
