#include "Settingsfile.h"

#include "io/Codepage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <QStandardPaths>
#include <cmath>

namespace vesk {

namespace {
const QByteArray kUtf8Bom("\xEF\xBB\xBF");
const QString kFileName = QStringLiteral("VeskV.ini");

bool isSectionLine(const QString& trimmed)
{
    return trimmed.size() >= 2 && trimmed.front() == u'[' && trimmed.back() == u']';
}

bool isComment(const QString& trimmed)
{
    return trimmed.startsWith(u';') || trimmed.startsWith(u'#');
}
} // namespace

TSettingsFile::TSettingsFile(QString fileName)
    : fileName_(std::move(fileName))
{
    QFile file(fileName_);
    if (!file.open(QIODevice::ReadOnly))
        return;
    QByteArray bytes = file.readAll();
    if (bytes.startsWith(kUtf8Bom)) {
        utf8_ = true;
        bytes.remove(0, kUtf8Bom.size());
    }
    if (bytes.isEmpty())
        return;
    const qsizetype firstBreak = bytes.indexOf('\n');
    crlf_ = firstBreak > 0 && bytes.at(firstBreak - 1) == '\r';
    finalNewline_ = bytes.endsWith('\n');
    if (finalNewline_)
        bytes.chop(1);
    const QList<QByteArray> rawLines = bytes.split('\n');
    lines_.reserve(rawLines.size());
    for (QByteArray line : rawLines) {
        if (line.endsWith('\r'))
            line.chop(1);
        lines_.push_back(utf8_ ? QString::fromUtf8(line) : DecodeAnsi(line));
    }
}

bool TSettingsFile::splitKeyValue(const QString& line, QString* key, QString* value)
{
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty() || isComment(trimmed) || isSectionLine(trimmed))
        return false;
    const qsizetype eq = trimmed.indexOf(u'=');
    if (eq < 0)
        return false;
    *key = trimmed.left(eq).trimmed();
    if (value)
        *value = trimmed.mid(eq + 1).trimmed();
    return true;
}

TSettingsFile::Range TSettingsFile::findSection(const QString& section) const
{
    Range range;
    const int count = int(lines_.size());
    for (int i = 0; i < count; ++i) {
        const QString trimmed = lines_[i].trimmed();
        if (!isSectionLine(trimmed))
            continue;
        if (range.header >= 0) {
            range.end = i; // the next section ends the one found
            return range;
        }
        if (trimmed.mid(1, trimmed.size() - 2).trimmed().compare(section, Qt::CaseInsensitive) == 0) {
            range.header = i;
            range.end = count;
        }
    }
    return range;
}

int TSettingsFile::findKey(const Range& range, const QString& key) const
{
    if (range.header < 0)
        return -1;
    QString name;
    for (int i = range.header + 1; i < range.end; ++i)
        if (splitKeyValue(lines_[i], &name, nullptr) && name.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

bool TSettingsFile::SectionExists(const QString& section) const
{
    return findSection(section).header >= 0;
}

bool TSettingsFile::ValueExists(const QString& section, const QString& key) const
{
    return findKey(findSection(section), key) >= 0;
}

QString TSettingsFile::ReadString(const QString& section, const QString& key, const QString& fallback) const
{
    const int line = findKey(findSection(section), key);
    if (line < 0)
        return fallback;
    QString name, value;
    splitKeyValue(lines_[line], &name, &value);
    return value;
}

int TSettingsFile::ReadInteger(const QString& section, const QString& key, int fallback) const
{
    bool ok = false;
    const int value = ReadString(section, key, QString()).toInt(&ok, 10);
    return ok ? value : fallback;
}

double TSettingsFile::ReadFloat(const QString& section, const QString& key, double fallback) const
{
    const QString text = ReadString(section, key, QString());
    bool ok = false;
    double value = text.toDouble(&ok);
    if (!ok)
        value = QLocale::system().toDouble(text, &ok);
    return ok && std::isfinite(value) ? value : fallback;
}

void TSettingsFile::WriteString(const QString& section, const QString& key, const QString& value)
{
    QString clean = value;
    clean.replace(u'\r', u' ').replace(u'\n', u' ');
    const Range range = findSection(section);
    const int existing = findKey(range, key);
    if (existing >= 0) {
        QString name;
        splitKeyValue(lines_[existing], &name, nullptr);
        const QString line = name + u'=' + clean;
        if (lines_[existing] != line) {
            lines_[existing] = line;
            dirty_ = true;
        }
        return;
    }
    const QString line = key + u'=' + clean;
    if (range.header < 0) {
        if (!lines_.empty() && !lines_.back().trimmed().isEmpty())
            lines_.emplace_back();
        lines_.push_back(u'[' + section + u']');
        lines_.push_back(line);
    } else {
        // After the section's last entry, so blank lines before the next section stay there.
        int at = range.end;
        while (at > range.header + 1 && lines_[at - 1].trimmed().isEmpty())
            --at;
        lines_.insert(lines_.begin() + at, line);
    }
    dirty_ = true;
}

void TSettingsFile::WriteInteger(const QString& section, const QString& key, int value)
{
    WriteString(section, key, QString::number(value));
}

QStringList TSettingsFile::ReadStringList(const QString& section, const QString& prefix) const
{
    QStringList list;
    const Range range = findSection(section);
    for (int n = 0;; ++n) {
        const int line = findKey(range, prefix + QString::number(n));
        if (line < 0)
            return list;
        QString name, value;
        splitKeyValue(lines_[line], &name, &value);
        list.append(value);
    }
}

void TSettingsFile::WriteStringList(const QString& section, const QString& prefix, const QStringList& values)
{
    for (int n = 0; n < values.size(); ++n)
        WriteString(section, prefix + QString::number(n), values[n]);
}

std::vector<double> TSettingsFile::ReadRealList(const QString& section, const QString& prefix) const
{
    std::vector<double> list;
    for (int n = 0;; ++n) {
        const double value = ReadFloat(section, prefix + QString::number(n), -1.0);
        if (!(value >= 0.0))
            return list;
        list.push_back(value);
    }
}

bool TSettingsFile::UpdateFile()
{
    if (!dirty_)
        return true;
    const QString eol = crlf_ ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QByteArray bytes = utf8_ ? kUtf8Bom : QByteArray();
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        bytes += utf8_ ? lines_[i].toUtf8() : EncodeAnsi(lines_[i]);
        if (i + 1 < lines_.size() || finalNewline_)
            bytes += eol.toLatin1();
    }
    QDir().mkpath(QFileInfo(fileName_).absolutePath());
    QSaveFile file(fileName_);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return false;
    dirty_ = false;
    return true;
}

QString TSettingsFile::Locate(const QString& programDir, const QString& configDir)
{
    const QString besideProgram = QDir(programDir).filePath(kFileName);
    const QFileInfo dir(programDir);
    const QFileInfo file(besideProgram);
    if (!programDir.isEmpty() && dir.isDir() && dir.isWritable() && (!file.exists() || file.isWritable()))
        return besideProgram;
    const QString inConfig = QDir(configDir).filePath(kFileName);
    if (!QFileInfo::exists(inConfig) && file.isFile()) {
        QDir().mkpath(configDir);
        if (QFile::copy(besideProgram, inConfig))
            QFile::setPermissions(inConfig, QFile::permissions(inConfig) | QFile::WriteOwner);
    }
    return inConfig;
}

QString TSettingsFile::DefaultFileName()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return Locate(QCoreApplication::applicationDirPath(), QDir(config).filePath(QStringLiteral("Vesk2.0")));
}

} // namespace vesk
