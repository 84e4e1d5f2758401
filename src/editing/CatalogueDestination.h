#pragma once

#include "store/Result.h"

#include <QString>
#include <functional>

namespace velumark::editing {

// Whether a new catalogue may be made, or a catalogue saved, at a package path: nothing there,
// a catalogue nobody holds (replaced only after the user agreed), or something that must not be
// touched: a catalogue open here or in another program, anything that is not a catalogue, a
// place inside a catalogue.
class CatalogueDestination
{
public:
    enum class State
    {
        Free,
        ReplaceablePackage,
        OpenHere,
        HeldElsewhere, // reason() says by whom
        NotACatalogue,
        InsideCatalogue
    };

    static CatalogueDestination check(const QString &packagePath);

    State state() const { return m_state; }
    const QString &reason() const { return m_reason; }

    // Moves the catalogue at the path aside (holding its lock, so no other program can take it
    // meanwhile), then runs make. The old catalogue is removed only when make succeeded;
    // otherwise whatever make left is removed and the old catalogue put back.
    static Result<> replacePackage(const QString &packagePath, const std::function<Result<>()> &make);

private:
    CatalogueDestination(State state, QString reason = {}) : m_state(state), m_reason(std::move(reason)) {}

    State m_state;
    QString m_reason;
};

} // namespace velumark::editing
