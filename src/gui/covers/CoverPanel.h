#pragma once

#include <QIcon>
#include <QImage>
#include <QRect>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>

class QPrinter;

namespace vorn {

class UserPrompt;
struct Catalogue;

// The cover panel `PictJ`: the shown disc's icon and name, five links drawn as
// underlined text ("Choisir une image", "Effacer l'image", "Imprimer",
// "Enregistrer", "Annuler", highlighted under the mouse) and the cover picture
// scaled into the space left. A chosen or dropped picture is only held here until
// "Enregistrer" stores it through the edit layer.
class CoverPanel : public QWidget
{
    Q_OBJECT
public:
    enum Link { Choose, Delete, Print, Save, Cancel, LinkCount };

    CoverPanel(Catalogue &catalogue, UserPrompt &prompt, QWidget *parent = nullptr);

    // The disc drawn (empty: none); a picture chosen for another disc is forgotten.
    void showDisc(const QString &identifier, const QString &name, const QIcon &icon);
    QString shownDisc() const { return m_identifier; }

    // The links' actions.
    void choosePicture();
    void deletePicture();
    void printPicture();
    void savePicture();
    void cancelPicture();

    // How printing asks for a printer: Qt's print dialog by default; true to print.
    void setPrinterChooser(std::function<bool(QPrinter &)> chooser) { m_choosePrinter = std::move(chooser); }

    // The picture file drawn now: the one chosen, else the stored cover's working
    // copy; empty when none is drawn.
    QString picturePath() const;
    QRect linkRect(Link link) const { return m_links[size_t(link)]; }
    int hoveredLink() const { return m_hovered; }
    // The text under a chosen picture ("Taille de l'image : 2 Ko"); empty otherwise.
    QString sizeLine() const;

signals:
    // The disc's cover was stored (or deleted) in its archive.
    void coverSaved(const QString &identifier);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void layoutLinks();
    QRect pictureArea() const;
    const QImage &fittedPicture();
    void forgetPicture();
    void run(int link);

    Catalogue &m_catalogue;
    UserPrompt &m_prompt;
    QString m_identifier;
    QString m_name;
    QIcon m_icon;
    mutable std::optional<QString> m_stored; // the stored cover's working copy, once looked for
    QString m_chosen; // a picture file chosen and not yet stored
    bool m_dropped = false; // the stored picture is to be deleted
    std::array<QRect, LinkCount> m_links{};
    int m_hovered = -1;
    QImage m_fitted; // the picture scaled to the panel, kept until the file or size changes
    QString m_fittedPath;
    QSize m_fittedBox;
    std::function<bool(QPrinter &)> m_choosePrinter;
};

} // namespace vorn
