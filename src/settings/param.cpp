#include "param.h"

#include "settings/settings_file.h"
#include "settings/settings_requests.h"
#include "shell/enter_presses_button.h"
#include "shell/message_boxes.h"
#include "shell/twips.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QValidator>

namespace ruzez {

namespace {

// A field's length limit holds back what the user types, not the text the
// window puts in it: a longer value read from the file is shown and saved
// whole, and while it stays over the limit the user can only shorten it.
class TypingLimit final : public QValidator
{
public:
    TypingLimit(int limit, QLineEdit *field)
        : QValidator(field)
        , m_limit(limit)
    {
        connect(field, &QLineEdit::textChanged, this, [this](const QString &text) { m_length = text.size(); });
    }

    State validate(QString &input, int &) const override
    {
        return input.size() <= m_limit || input.size() <= m_length ? Acceptable : Invalid;
    }

private:
    int m_limit;
    // The length of the text as it stands, before the edit being checked.
    qsizetype m_length = 0;
};

// Puts text from the file into a field, whatever its length: the limit is
// left out while the text goes in, which would otherwise count as typed.
void setStored(QLineEdit *field, const QString &text)
{
    field->setMaxLength(qMax(param::kMaxItem, int(text.size())));
    const QValidator *limit = field->validator();
    field->setValidator(nullptr);
    field->setText(text);
    field->setValidator(limit);
}

QLineEdit *itemField(QWidget *frame, const QRect &place)
{
    auto *field = new QLineEdit(frame);
    field->setGeometry(place);
    // The maximum length cuts a paste to what fits; the validator refuses
    // to lengthen a stored text that is over the limit already.
    field->setMaxLength(param::kMaxItem);
    field->setValidator(new TypingLimit(param::kMaxItem, field));
    return field;
}

// A field is saved when its record was read or the user changed it: a
// record that could not be read keeps what it holds rather than the
// field's initial content.
std::optional<QString> itemToSave(const QLineEdit *field, bool read)
{
    if (read || field->isModified())
        return field->text();
    return std::nullopt;
}

QLabel *itemLabel(const QString &caption, QWidget *frame, const QRect &place)
{
    auto *label = new QLabel(caption, frame);
    label->setGeometry(place);
    return label;
}

// The box shows CR LF as one line break; a text document would take CR and
// LF as two.
QString lines(QString text)
{
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

} // namespace

param::param(const QString &programFolder, MessageBoxes &boxes, QWidget *parent, FileAccess *files)
    : QDialog(parent)
    , m_programFolder(programFolder)
    , m_boxes(boxes)
    , m_files(files)
{
    setWindowTitle(QStringLiteral("Paramètres"));
    setModal(true);
    setFixedSize(twipsToPixels(6855), twipsToPixels(5610));

    Frame1 = new QGroupBox(QStringLiteral("Adresses ( pour information )"), this);
    Frame1->setGeometry(twipsRect(240, 120, 6375, 1935));
    Text1 = new QPlainTextEdit(Frame1);
    Text1->setGeometry(twipsRect(240, 360, 5895, 1335));
    Text1->setReadOnly(true);
    // Read-only, yet reachable from the keyboard to scroll and select.
    Text1->setFocusPolicy(Qt::StrongFocus);
    Text1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Text1->setTabChangesFocus(true);
    // Long addresses wrap: the box scrolls only up and down.
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Text1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    QPalette colours = Text1->palette();
    colours.setColor(QPalette::Base, QColor(0xE0, 0xE0, 0xE0));
    colours.setColor(QPalette::Text, QColor(0x00, 0x00, 0xC0));
    Text1->setPalette(colours);

    Frame3 = new QGroupBox(QStringLiteral("Courrier électronique ( à saisir )"), this);
    Frame3->setGeometry(twipsRect(240, 2160, 6375, 2655));
    Label3 = itemLabel(QStringLiteral("Votre nom / établissement:"), Frame3, twipsRect(240, 360, 4335, 255));
    Text3 = itemField(Frame3, twipsRect(240, 600, 5895, 345));
    Label4 = itemLabel(QStringLiteral("Adresse électronique:"), Frame3, twipsRect(240, 1080, 4335, 255));
    Text4 = itemField(Frame3, twipsRect(240, 1320, 5895, 345));
    Text4->setText(QStringLiteral("@"));
    Label5 = itemLabel(QStringLiteral("Serveur courrier sortant (SMTP):"), Frame3, twipsRect(240, 1800, 4335, 255));
    Text5 = itemField(Frame3, twipsRect(240, 2040, 5895, 345));

    Command2 = new QPushButton(QStringLiteral("Annuler"), this);
    Command2->setGeometry(twipsRect(1440, 5040, 1575, 375));
    Command3 = new QPushButton(QStringLiteral("Valider"), this);
    Command3->setGeometry(twipsRect(3600, 5040, 1575, 375));
    // Enter in a field presses nothing, as it never did: a dialog's
    // buttons would otherwise take Enter and throw the typing away. On a
    // focused button, Enter presses that button.
    for (QPushButton *button : {Command2, Command3}) {
        button->setAutoDefault(false);
        button->setDefault(false);
        pressOnEnter(button);
    }
    // Screen readers name each field by its own label, not by its group.
    Label3->setBuddy(Text3);
    Label4->setBuddy(Text4);
    Label5->setBuddy(Text5);

    setTabOrder(Command3, Command2);
    setTabOrder(Command2, Text3);
    setTabOrder(Text3, Text4);
    setTabOrder(Text4, Text5);
    setTabOrder(Text5, Text1);
    Command3->setFocus();

    connect(Command3, &QPushButton::clicked, this, &param::Command3_Click);
    connect(Command2, &QPushButton::clicked, this, &param::Command2_Click);
}

void param::Form_Load()
{
    const SettingsLoad load = m_files ? settings_requests::load(*m_files, m_programFolder)
                                      : loadSettings(m_programFolder);
    Text1->setPlainText(lines(load.information));
    if (load.name)
        setStored(Text3, *load.name);
    if (load.mail)
        setStored(Text4, *load.mail);
    if (load.server)
        setStored(Text5, *load.server);
    m_read = {load.name.has_value(), load.mail.has_value(), load.server.has_value()};
    if (!load.ok)
        reportFailure();
}

void param::Command3_Click()
{
    const MailSettings items{itemToSave(Text3, m_read[0]), itemToSave(Text4, m_read[1]),
                             itemToSave(Text5, m_read[2])};
    const bool saved = m_files ? settings_requests::save(*m_files, m_programFolder, items)
                               : saveSettings(m_programFolder, items);
    if (!saved) {
        reportFailure();
        return;
    }
    accept();
}

void param::Command2_Click()
{
    reject();
}

void param::reportFailure()
{
    m_boxes.MsgBox(QStringLiteral("Impossible d'écrire les paramètres: disque non valide pour l'écriture."),
                   vb::OKOnly + vb::Critical, kWriteFailureTitle);
}

void showSettings(QWidget *parent, const QString &programFolder, MessageBoxes &boxes, FileAccess *files)
{
    param window(programFolder, boxes, parent, files);
    window.Form_Load();
    window.exec();
}

} // namespace ruzez
