#pragma once

// Helpers shared by the Qt tests of the stores and of what lies above them:
// the records of a store collected into a list, and the settings store in a
// temporary folder.

#include "DeskTestSupport.h"
#include "RecordSet.h"
#include "clsUserSettings.h"

#include <QFile>
#include <QList>
#include <QString>
#include <QTemporaryDir>

namespace DeskTest {

// One value read from every record of the table, first to last.
template <class Read> auto collect(RecordSet &table, Read read) {
    QList<decltype(read())> values;
    for (table.moveFirst(); !table.atEnd(); table.moveNext())
        values.append(read());
    return values;
}

// The settings store in a temporary folder of its own while the object
// lives; the user's own store is never touched. clear() starts again from an
// empty store.
class TemporarySettingsStore {
  public:
    TemporarySettingsStore() {
        clsUserSettings::setStoreFolder(folder_.path());
    }
    ~TemporarySettingsStore() { clsUserSettings::setStoreFolder(QString()); }
    TemporarySettingsStore(const TemporarySettingsStore &) = delete;
    TemporarySettingsStore &operator=(const TemporarySettingsStore &) = delete;

    bool isValid() const { return folder_.isValid(); }
    QString path() const { return folder_.path(); }
    QString filePath(const QString &name) const {
        return folder_.filePath(name);
    }
    void clear() { QFile::remove(clsUserSettings::storeFileName()); }

  private:
    QTemporaryDir folder_;
};

} // namespace DeskTest
