#pragma once
// The recent-file list: paths, most recent first, at most a fixed number of them. Equal
// paths (compared without regard to case) appear only once.

#include <QString>
#include <QStringList>

class cmcRecent {
  public:
    explicit cmcRecent(int maxCount = 10);

    // Moves or inserts the path at the top; the oldest entries drop off beyond the maximum.
    void addToFront(const QString& path);
    // Appends the path (used while loading, so the stored order is kept).
    void addToBack(const QString& path);

    int count() const { return int(m_paths.size()); }
    int maxCount() const { return m_max; }
    void clear() { m_paths.clear(); }

    // The entry at index, shortened to its file name when it lies in directory; an empty
    // text beyond the list. An empty directory always gives the full path.
    QString entryText(int index, const QString& directory) const;

  private:
    void removeAll(const QString& path);
    void trim();

    QStringList m_paths;
    int m_max;
};
