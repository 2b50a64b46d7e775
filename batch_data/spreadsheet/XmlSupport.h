#pragma once
// Helpers the spreadsheet formats share: element and attribute lookup that
// ignores namespace prefixes (producers differ in the prefixes they use),
// text that XML can carry, saving a document atomically, and packing a
// folder into a package file.

#include <QString>
#include <QStringList>

#include <pugixml.hpp>

class QTemporaryDir;

namespace spreadsheet_xml {

// The element or attribute name without its prefix.
const char *localName(const char *name);
bool isNamed(const pugi::xml_node &node, const char *local);
pugi::xml_node child(const pugi::xml_node &node, const char *local);
pugi::xml_attribute attribute(const pugi::xml_node &node, const char *local);

// Loads a part; false with the reason in `error` when it cannot be read or
// is not well-formed. With `keepSpaceBetweenRuns` a text of white space only
// between elements is kept: in formats where styled runs of a cell are
// elements side by side, such a text is the space between two words.
bool load(pugi::xml_document &doc, const QString &path, QString *error, bool keepSpaceBetweenRuns = false);

// Adds `<?xml version="1.0" encoding="UTF-8" standalone="yes"?>`.
void addDeclaration(pugi::xml_document &doc);
// Serialises (indented unless the format gives white space a meaning) and
// writes atomically; logs and returns false when the file cannot be written.
bool save(const pugi::xml_document &doc, const QString &path, bool indent = true);

// The text as UTF-8 without the characters that XML 1.0 cannot carry.
std::string xmlText(const QString &text);
// True for a plain decimal that a spreadsheet keeps exactly as written:
// optional minus, no leading zeros, no trailing fraction zeros, no exponent,
// at most 15 digits. "007", "1.50", "1e5" and long IDs stay text.
bool isPlainNumber(const QString &text);

// The length of the longest row, at least 1: the width every written sheet
// declares.
qsizetype widestRow(const QList<QStringList> &rows);

// Unpacks the bundle's template `name` (such as "Template.xlsx") into
// `work`; logs against `target` and returns false when it is unusable, so
// that no package is written without the template's parts.
bool unpackTemplate(const QString &name, const QTemporaryDir &work, const QString &target);
// Packs the entries directly inside `folder` (names in `first` before the
// others, the rest by name) into a package written atomically at `path`.
bool packFolder(const QString &folder, const QString &path, const QStringList &first = {});

} // namespace spreadsheet_xml
