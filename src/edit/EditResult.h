#pragma once

#include <QString>

namespace vorn {

// What a disc transaction did. `message` is a string identifier for the user (0 when
// there is none: a cancel, or a change that had nothing to do); `detail` adds what
// the message alone does not say (a path, a name, the library's error).
struct EditResult
{
    enum class Outcome {
        Done, // written (or nothing needed writing)
        Refused, // bad input: nothing was written
        Failed, // the data folder could not be read or written: nothing changed
        Cancelled, // the user stopped a cataloguing run
    };

    Outcome outcome = Outcome::Done;
    int message = 0;
    QString detail;

    static EditResult done() { return {}; }
    static EditResult refused(int message, const QString &detail = {}) { return {Outcome::Refused, message, detail}; }
    static EditResult failed(int message, const QString &detail = {}) { return {Outcome::Failed, message, detail}; }

    bool ok() const { return outcome == Outcome::Done; }
    // Another copy of VORN kept the data folder's lock past the wait: the same change
    // may be written later, so what the user typed is worth keeping.
    bool busy() const { return outcome == Outcome::Failed && message == BusyMessage; }
    static constexpr int BusyMessage = 704;
    // The record would not fit in an archive comment (65,535 bytes): nothing was
    // written, and what the user typed is worth keeping to shorten it.
    bool tooLong() const { return outcome == Outcome::Refused && message == TooLongMessage; }
    static constexpr int TooLongMessage = 846;
    // The message text in the interface language, then the detail on its own line.
    QString text() const;
};

} // namespace vorn
