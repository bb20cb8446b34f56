#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <vector>

namespace vorn {

class CompiledCriteria;

// Picks out of a disc's file list the lines the file test has to read: those that
// may match, and those that change which archive the test stands in (a negative
// link). Every other line would be read and refused, so leaving it out changes no
// row. Runs on the threads that read the archives, while the search itself goes on.
class FileLineFilter
{
public:
    explicit FileLineFilter(const CompiledCriteria &criteria);

    struct Line
    {
        qsizetype offset = 0;
        qsizetype length = 0; // without the line end
        int number = 0; // among the file records from 0; -1 when not counted
    };
    // The chosen record lines (the header line and empty lines are no records).
    // Lines are numbered only where the test needs the number (MP3 tags).
    std::vector<Line> lines(QByteArrayView fileList) const;

private:
    enum class Mode {
        Every, // no cheap test: MP3 tags, or no text to look for
        Literal, // names and descriptions: lines holding the literal, ignoring case
        TextLinks, // captured text: lines with a text
    };
    bool chosen(QByteArrayView line) const;
    std::vector<Line> literalLines(QByteArrayView fileList) const;

    Mode m_mode = Mode::Every;
    QByteArray m_literal; // lower case, printable ASCII
};

} // namespace vorn
