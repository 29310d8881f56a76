#pragma once

#include <QStringList>
#include <QTextStream>

namespace ruzez::links_tool {

// Exit codes of every subcommand.
constexpr int kSuccess = 0;
constexpr int kFailure = 1;  // the work could not be done, or `check` found broken links
constexpr int kUsage = 2;    // the command line is wrong

// The header of the links text, the four fields in the table's order.
inline const QStringList kHeader = {QStringLiteral("LinkID"), QStringLiteral("URL"),
                                    QStringLiteral("SubCategory"), QStringLiteral("Description")};

// Each subcommand takes the arguments after its name; `out` receives the
// results, `err` the one-line messages.
int buildCommand(const QStringList &args, QTextStream &out, QTextStream &err);
int exportCommand(const QStringList &args, QTextStream &out, QTextStream &err);
int checkCommand(const QStringList &args, QTextStream &out, QTextStream &err);

} // namespace ruzez::links_tool
