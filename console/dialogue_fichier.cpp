#include "dialogue_fichier.h"

#include "plateforme.h"

#include <QDateTime>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFontMetrics>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QSettings>
#include <QTemporaryDir>
#include <QTreeView>

#include <algorithm>
#include <utility>

namespace {

// The dialog's columns in French whatever the user's locale: Qt's own model names a
// folder "Folder" and writes sizes and dates in the system's language.
class Tfichiers_en_francais : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override {
        const auto* fichiers = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || fichiers == nullptr || !index.isValid())
            return QIdentityProxyModel::data(index, role);
        const QFileInfo info = fichiers->fileInfo(mapToSource(index));
        switch (index.column()) {
        case colonne_taille:
            if (info.isDir()) return QString();
            return francais_.formattedDataSize(info.size(), 1, QLocale::DataSizeTraditionalFormat);
        case colonne_type:
            if (info.isDir()) return QStringLiteral("Dossier");
            if (info.suffix().isEmpty()) return QStringLiteral("Fichier");
            return QStringLiteral("Fichier ") + info.suffix();
        case colonne_date:
            return francais_.toString(info.lastModified(), QLocale::ShortFormat);
        default:
            return QIdentityProxyModel::data(index, role);
        }
    }

private:
    // The columns of Qt's file system model: name, size, type, date modified.
    static constexpr int colonne_taille = 1;
    static constexpr int colonne_type = 2;
    static constexpr int colonne_date = 3;
    const QLocale francais_{QLocale::French, QLocale::France};
};

// Qt's dialog writes its state (the last folder, its history, the columns' widths) into
// the user's QtProject settings as it closes, and reads them as it opens. The program keeps
// nothing from one run to the next: while the dialog lives, Qt's user settings are files in
// a folder of its own, removed with it (and, where they are the registry, put back as they were).
class Treglages_ephemeres {
public:
    Treglages_ephemeres() : avant_(garde_reglages_dialogue()) {
        if (!dossier_.isValid()) return;
        for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
            QSettings::setPath(format, QSettings::UserScope, dossier_.path());
    }
    ~Treglages_ephemeres() { rend_reglages_dialogue(avant_); }
    Treglages_ephemeres(const Treglages_ephemeres&) = delete;
    Treglages_ephemeres& operator=(const Treglages_ephemeres&) = delete;

private:
    const Treglages_dialogue avant_;
    QTemporaryDir dossier_;
};

} // namespace

QString demande_fichier(QWidget* parent, const QString& dossier) {
    // Declared first, so that the dialog has written its settings before the folder goes.
    const Treglages_ephemeres reglages;
    QFileDialog dialogue(parent);
    dialogue.setOption(QFileDialog::DontUseNativeDialog);
    dialogue.setFileMode(QFileDialog::ExistingFile);
    dialogue.setAcceptMode(QFileDialog::AcceptOpen);
    dialogue.setProxyModel(new Tfichiers_en_francais(&dialogue));
    if (!dossier.isEmpty()) dialogue.setDirectory(dossier);
    // Room for each column's title and for its longest French cell; the name takes the rest.
    if (auto* vue = dialogue.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        const QFontMetrics fm(vue->font());
        const int marge = 2 * fm.horizontalAdvance(QLatin1Char('M'));
        const std::pair<int, const char*> exemples[] = {
            {1, "999,9 octets"}, {2, "Fichier jpeg"}, {3, "31/12/2026 23:59"}};
        for (const auto& [colonne, exemple] : exemples) {
            const QString titre = vue->model()->headerData(colonne, Qt::Horizontal).toString();
            vue->header()->resizeSection(
                colonne,
                std::max(fm.horizontalAdvance(exemple), fm.horizontalAdvance(titre)) + marge);
        }
        vue->header()->setSectionResizeMode(0, QHeaderView::Stretch);
        dialogue.resize(std::max(dialogue.width(), 720), std::max(dialogue.height(), 440));
    }
    if (dialogue.exec() != QDialog::Accepted) return {};
    const QStringList choisis = dialogue.selectedFiles();
    return choisis.isEmpty() ? QString() : choisis.first();
}
