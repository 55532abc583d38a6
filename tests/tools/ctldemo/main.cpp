// ctldemo: a test-only window of the extended controls (never installed).
//   ctldemo [--render OUT.png]
//     shows speed buttons in each style and state, spin edits with the diagonal button and
//     the up-down pair, file-name edits with each glyph kind and font pickers of both
//     styles; --render paints the
//     window offscreen into OUT.png instead of running it.
#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include <iostream>
#include <string>

#include "controls/ui/ComboEdits.h"
#include "controls/ui/FontComboBox.h"
#include "controls/ui/RxSpeedButton.h"
#include "controls/ui/RxSpinEdit.h"

using namespace gs;

namespace {

QImage demoGlyph() {
    QImage strip(16, 16, QImage::Format_ARGB32);
    strip.fill(QColor(0xFF, 0x00, 0xFF));
    QPainter p(&strip);
    p.setBrush(QColor(0x20, 0x60, 0xD0));
    p.setPen(QColor(0x10, 0x30, 0x70));
    p.drawEllipse(2, 2, 11, 11);
    p.fillRect(6, 5, 4, 6, QColor(0xFF, 0xD0, 0x20));
    return strip;
}

// Holds the left button down on a widget, as a user pressing it.
void press(QWidget* w, QPoint at) {
    QMouseEvent e(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

TRxSpeedButton* speed(QWidget* parent, const QString& caption, TButtonStyle style, bool flat) {
    auto* b = new TRxSpeedButton(parent);
    b->SetCaption(caption);
    b->Style = style;
    b->Flat = flat;
    b->Layout = TButtonLayout::blGlyphLeft;
    b->SetGlyph(demoGlyph());
    b->setFixedSize(96, 28);
    return b;
}

QWidget* buildForm(QMenu* menu) {
    auto* form = new QWidget;
    form->setObjectName("ControlsDemo");
    form->setWindowTitle("Controls");
    auto* grid = new QGridLayout(form);
    int row = 0;
    const struct {
        const char* title;
        TButtonStyle style;
        bool flat;
    } styles[] = {{"New style", TButtonStyle::bsNew, false},
                  {"Old style", TButtonStyle::bsWin31, false},
                  {"New, flat", TButtonStyle::bsNew, true},
                  {"Old, flat", TButtonStyle::bsWin31, true}};
    grid->addWidget(new QLabel("up"), row, 1);
    grid->addWidget(new QLabel("pressed"), row, 2);
    grid->addWidget(new QLabel("down (grouped)"), row, 3);
    grid->addWidget(new QLabel("disabled"), row, 4);
    ++row;
    for (const auto& s : styles) {
        grid->addWidget(new QLabel(s.title), row, 0);
        grid->addWidget(speed(form, "&Open", s.style, s.flat), row, 1);
        TRxSpeedButton* pressed = speed(form, "&Save", s.style, s.flat);
        grid->addWidget(pressed, row, 2);
        pressed->setProperty("pressMe", true);
        TRxSpeedButton* down = speed(form, "&Grid", s.style, s.flat);
        down->SetGroupIndex(row);
        down->SetDown(true);
        grid->addWidget(down, row, 3);
        TRxSpeedButton* off = speed(form, "&Find", s.style, s.flat);
        off->setEnabled(false);
        grid->addWidget(off, row, 4);
        ++row;
    }
    grid->addWidget(new QLabel("Captions"), row, 0);
    TRxSpeedButton* shortened = speed(form, "Extract every icon", TButtonStyle::bsNew, false);
    grid->addWidget(shortened, row, 1);
    TRxSpeedButton* wrapped = speed(form, "Extract every icon", TButtonStyle::bsNew, false);
    wrapped->WordWrap = true;
    wrapped->setFixedSize(96, 40);
    grid->addWidget(wrapped, row, 2);
    TRxSpeedButton* marked = speed(form, "Views", TButtonStyle::bsNew, false);
    marked->DropDownMenu = menu;
    grid->addWidget(marked, row, 3);
    TRxSpeedButton* markedOff = speed(form, "Views", TButtonStyle::bsNew, false);
    markedOff->DropDownMenu = menu;
    markedOff->setEnabled(false);
    grid->addWidget(markedOff, row, 5);
    TRxSpeedButton* top = speed(form, "Top", TButtonStyle::bsNew, false);
    top->Layout = TButtonLayout::blGlyphTop;
    top->setFixedSize(96, 40);
    grid->addWidget(top, row, 4);
    ++row;

    grid->addWidget(new QLabel("Spin edits"), row, 0);
    auto* diagonal = new TRxSpinEdit(form);
    diagonal->setObjectName("spinDiagonal");
    diagonal->SetValue(42);
    grid->addWidget(diagonal, row, 1);
    auto* diagonalPressed = new TRxSpinEdit(form);
    diagonalPressed->setObjectName("spinPressed");
    diagonalPressed->SetValue(7);
    grid->addWidget(diagonalPressed, row, 2);
    auto* standard = new TRxSpinEdit(form);
    standard->SetButtonKind(TSpinButtonKind::bkStandard);
    standard->SetValue(100);
    standard->SetAlignment(TAlignment::taRightJustify);
    grid->addWidget(standard, row, 3);
    auto* big = new TRxSpinButton(form);
    big->setFixedSize(40, 40);
    grid->addWidget(big, row, 4);
    ++row;

    grid->addWidget(new QLabel("File edits"), row, 0);
    const TGlyphKind kinds[] = {TGlyphKind::gkDefault, TGlyphKind::gkEllipsis, TGlyphKind::gkDropDown};
    int column = 1;
    for (TGlyphKind kind : kinds) {
        auto* edit = new TFilenameEdit(form);
        edit->setText("/usr/share/icons");
        edit->setFixedWidth(150);
        edit->SetGlyphKind(kind);
        grid->addWidget(edit, row, column, 1, 1);
        ++column;
    }
    ++row;

    grid->addWidget(new QLabel("Font pickers"), row, 0);  // a list alone, an edit keeping any name
    auto* fontList = new TFontComboBox(form);
    fontList->SetUseFonts(true);
    fontList->setCurrentIndex(0);
    grid->addWidget(fontList, row, 1, 1, 2);
    auto* fontEdit = new TFontComboBox(form);
    fontEdit->SetStyle(TOwnerDrawComboStyle::csDropDown);
    fontEdit->SetDevice(TFontDevice::fdPrinter);
    fontEdit->SetFontName("No Such Family");
    grid->addWidget(fontEdit, row, 3, 1, 2);
    return form;
}

}  // namespace

int main(int argc, char** argv) {
    std::string render;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--render" && i + 1 < argc) render = argv[++i];
        else {
            std::cerr << "usage: ctldemo [--render OUT.png]\n";
            return 2;
        }
    }
    if (!render.empty() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QMenu menu;
    menu.addAction("Large icons");
    QWidget* form = buildForm(&menu);
    form->show();
    for (auto* b : form->findChildren<TRxSpeedButton*>())
        if (b->property("pressMe").toBool()) press(b, {4, 4});
    if (auto* spin = form->findChild<TRxSpinEdit*>("spinPressed")) press(spin->SpinButton(), {2, 2});
    if (render.empty()) return app.exec();
    if (!form->grab().toImage().save(QString::fromStdString(render), "PNG")) {
        std::cerr << "ctldemo: cannot write " << render << "\n";
        return 1;
    }
    delete form;
    return 0;
}
