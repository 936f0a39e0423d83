#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace vesk {

// The settings file "VeskV.ini" held in memory: the constructor loads the
// whole file, reads and writes work on the copy, UpdateFile puts it back.
// Lines this program does not change (other sections, keys it does not know,
// comments, blank lines) stay as they are and where they are, so each window
// can write only its own section without disturbing the others or a hand
// edit. Text is CP932 on disk (UTF-8 when the file starts with a UTF-8 byte
// order mark); section and key names compare case-insensitively. Use a fresh
// object for every read or write, so that a window writes over the latest
// file and not over the copy it read at start-up.
class TSettingsFile {
public:
    // A missing or unreadable file reads as empty.
    explicit TSettingsFile(QString fileName);

    const QString& FileName() const { return fileName_; }

    bool SectionExists(const QString& section) const;
    bool ValueExists(const QString& section, const QString& key) const;

    // The default when the key is missing or its value cannot be read as the type.
    QString ReadString(const QString& section, const QString& key, const QString& fallback) const;
    int ReadInteger(const QString& section, const QString& key, int fallback) const;
    // Accepts a point as decimal separator, and the user's locale's one.
    double ReadFloat(const QString& section, const QString& key, double fallback) const;

    // Line breaks in a value become blanks: one key is one line.
    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);

    // Prefix0, Prefix1, ... read while the key exists.
    QStringList ReadStringList(const QString& section, const QString& prefix) const;
    // Prefix0 .. Prefix(n-1); keys beyond the list stay as they are.
    void WriteStringList(const QString& section, const QString& prefix, const QStringList& values);
    // Prefix0, Prefix1, ... up to the first value that is missing, unreadable or negative.
    std::vector<double> ReadRealList(const QString& section, const QString& prefix) const;

    // Writes the file back when anything was written, creating its folder if
    // needed; the file is replaced atomically. False when it could not be written.
    bool UpdateFile();

    // Where the program keeps the file: beside the executable when that folder
    // can be written, else in configDir (the user's configuration folder). A
    // file found only beside the executable is copied to configDir first, so
    // hand-edited presets shipped with the program are still read.
    static QString Locate(const QString& programDir, const QString& configDir);
    // Locate() for this program's folder and ~/.config/Vesk2.0.
    static QString DefaultFileName();

private:
    struct Range {
        int header = -1; // line of "[section]", -1 when the section is missing
        int end = 0; // one past the section's last line
    };
    Range findSection(const QString& section) const;
    int findKey(const Range& range, const QString& key) const;
    static bool splitKeyValue(const QString& line, QString* key, QString* value);

    QString fileName_;
    std::vector<QString> lines_;
    bool crlf_ = false;
    bool utf8_ = false;
    bool finalNewline_ = true;
    bool dirty_ = false;
};

} // namespace vesk
