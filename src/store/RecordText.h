#pragma once

#include "store/Records.h"

#include <QString>
#include <QStringView>
#include <optional>
#include <vector>

namespace vorn {

struct Catalogue;

// The disc information record: the text of tagged lines kept as the comment of a
// disc archive, its writer and reader, and the catalogue-level operations built on
// them.

// A record as read from its text, with the three texts still to be translated
// against the catalogue: keyword names, field names and field values, each in the
// ";"-terminated form ("Jazz;Live;").
struct RecordReading
{
    DiscRecord record;
    QString keywordNames;
    QString fieldNames;
    QString fieldValues;
};

// True when the name ends in the display suffix " <.NN.>" (two decimal digits).
bool hasDisplaySuffix(QStringView name);
// The name without its display suffix.
QString withoutDisplaySuffix(const QString &name);
// The display suffix for the n-th duplicate: " <." + last two digits of "0" & n + ".>".
QString displaySuffix(int n);

// The record text: NOM, ICO, EXR, VOL, MC_, FDN, FDV, GRV and DES lines with CRLF
// ends, DES last with no line end after it. Keywords are listed in the order of
// `keywords` (position 0 unused); fields with an empty name are left out. A burn date
// of 0 (not yet known) writes an empty GRV value, which reads back as 0.
QString recordText(const DiscRecord &record, const std::vector<KeywordEntry> &keywords);

// Reads a record text. Lines are split at LF with trailing CR/LF removed; a text
// ending in LF has no empty line after it. A line shorter than 4 characters is a
// description line. A tag line is three letters (compared ignoring case) followed
// by "=": other lines, including those that merely begin with the letters of a tag,
// are description lines too, so a description can never overwrite the name. Lines
// starting with "[CD" are skipped. nullopt when GRV holds text that is not a date.
std::optional<RecordReading> parseRecordText(QStringView text);

// Keyword codes ("|3|7|") for a ";"-terminated list of names. Empty pieces and the
// text after the last ";" are ignored; a name not in the keyword list is added with
// the next number.
QString keywordCodesFromNames(Catalogue &catalogue, QStringView names);
// Fills record.fields from ";"-terminated field names and values, adding unknown
// names to the catalogue's field-name list. The k-th value goes to the k-th field;
// surplus values are ignored, missing ones stay empty.
void applyFieldTexts(Catalogue &catalogue, DiscRecord &record, QStringView names, QStringView values);

// Writes the record text as the comment of data folder & <id> & ".VORN", packing the
// members selected by catalogue.memberFlags, which is reset to 0 on success. An
// empty identifier writes nothing and succeeds.
bool writeRecord(Catalogue &catalogue, const DiscRecord &record, int level, QString *error = nullptr);

// Reads the record of one disc archive; nullopt when it is missing or unreadable or
// its text does not read.
std::optional<RecordReading> readRecord(const QString &archivePath, const QString &identifier);
std::optional<RecordReading> readRecord(const Catalogue &catalogue, const QString &identifier);

// Reads the disc's record, translates its keywords and fields, and replaces the
// record with the same identifier in the disc array or appends it. Returns the
// position, or 0 when the record cannot be read.
int loadRecordIntoArray(Catalogue &catalogue, const QString &identifier);

// Position of the disc with this identifier (ignoring case), or 0.
int findDisc(const Catalogue &catalogue, QStringView identifier);
// True when two discs of the array have the same name, ignoring case.
bool hasDuplicateNames(const Catalogue &catalogue);

// Gives equal names (ignoring case) the display suffixes " <.01.>", " <.02.>", ...
// working in name order: an array sorted otherwise is sorted by name ascending first
// and put back into the user's order afterwards.
void giveDuplicateSuffixes(Catalogue &catalogue);

// Burn date of the disc at `position`: the greatest folder date of its folder file
// (0 when there is no folder). Stores it in the record in memory and writes it into
// the GRV line of the archive's record as it stands (flag word 0, level 4), when the
// data folder's lock is free. The working copy of the folder file is deleted unless
// the disc is the current one. False when the archive cannot be unpacked or the
// record was not written.
bool computeBurnDate(Catalogue &catalogue, int position);

} // namespace vorn
