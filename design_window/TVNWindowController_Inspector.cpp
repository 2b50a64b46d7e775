// The property inspector of the design window: it places the card, text,
// image and barcode pages and the data-source box, shows the page of what is
// selected, and applies what the card page reports to the card records.
#include "design_window/BarcodePanel.h"
#include "design_window/CardPanel.h"
#include "design_window/CardSizes.h"
#include "design_window/DataSourcePanel.h"
#include "design_window/Globals.h"
#include "design_window/ImagePanel.h"
#include "design_window/LongSmsDlg.h"
#include "design_window/TVNWindowController.h"
#include "design_window/TextPanel.h"
#include "drawing/TVNDocument.h"
#include "drawing/canvas/TVNGraphicView.h"
#include "drawing/canvas/TVNGrid.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QStackedWidget>
#include <QVBoxLayout>

using namespace design_window;

void TVNWindowController::buildInspector()
{
    cardPanel = new CardPanel(nullptr, grid);
    textPanel = new TextPanel(nullptr, document.get());
    imagePanel = new ImagePanel(nullptr, document.get());
    barcodePanel = new BarcodePanel(nullptr, document.get());
    textPanel->setObjectName("textPanel");
    imagePanel->setObjectName("imagePanel");
    barcodePanel->setObjectName("barcodePanel");
    inspector_pages->addWidget(cardPanel);
    for (ObjectPanel *page : objectPanels())
        inspector_pages->addWidget(page);
    // The inspector is as tall as the page shown, not as the tallest page.
    connect(inspector_pages, &QStackedWidget::currentChanged, this, [this](int current) {
        for (int i = 0; i < inspector_pages->count(); ++i) {
            inspector_pages->widget(i)->setSizePolicy(QSizePolicy::Preferred,
                                                      i == current ? QSizePolicy::Preferred : QSizePolicy::Ignored);
        }
        inspector_pages->adjustSize();
    });
    emit inspector_pages->currentChanged(inspector_pages->currentIndex());
    dataSourcePanel = new DataSourcePanel(nullptr, document.get());
    auto *layout = qobject_cast<QVBoxLayout *>(inspector_pages->parentWidget()->layout());
    layout->insertWidget(layout->indexOf(inspector_pages) + 1, dataSourcePanel);

    Grid_Opt_box = cardPanel->Grid_Opt_box;
    Show_hide_grid_chk = cardPanel->Show_hide_grid_chk;
    Grid_clr = cardPanel->Grid_clr;
    Grid_Space_slidr = cardPanel->Grid_Space_slidr;
    Data_source_type = dataSourcePanel->Data_source_type;
    Batch_Series = dataSourcePanel->Batch_Series;
    view_series_btn = dataSourcePanel->view_series_btn;

    connect(cardPanel, &CardPanel::sizeChosen, this, [this](const CardChoice &choice, QSizeF mm) {
        editCard(tr("Card Size"), [&] {
            card_choice = choice;
            applyCardSize(mm);
        });
    });
    connect(cardPanel, &CardPanel::shapeChosen, this, [this](int shape) {
        editCard(tr("Card Shape"), [&] {
            design_window::Card_Shape = shape;
            keepObjectsOnCard();
        });
    });
    connect(cardPanel, &CardPanel::sidesChosen, this, [this](bool twoSided) { chooseCardSides(twoSided); });
    connect(cardPanel, &CardPanel::fillChosen, this, [this](bool fill, const QColor &color) {
        editCard(tr("Card Fill"), [&] {
            editedCard().Card_Fill = fill;
            editedCard().Card_Fill_Color = color;
        });
    });
    connect(cardPanel, &CardPanel::backgroundChosen, this, [this](const QString &path) {
        setEditedSideBackground(path);
    });
    connect(cardPanel, &CardPanel::gridShowingChanged, this, [this](bool shown) {
        const QSignalBlocker block(act_show_grid);
        act_show_grid->setChecked(shown);
        Refresh_Canvas();
    });
    connect(cardPanel->snap_grid_chk, &QCheckBox::toggled, act_snap_grid, &QAction::setChecked);
    connect(act_snap_grid, &QAction::toggled, cardPanel->snap_grid_chk, &QCheckBox::setChecked);

    const auto mainPhoto = [this](const QString &path) { Update_frame_Main_Photo_And_Path(path, true); };
    connect(imagePanel, &ImagePanel::mainPhotoChosen, this, mainPhoto);
    connect(dataSourcePanel, &DataSourcePanel::mainPhotoChosen, this, mainPhoto);
    connect(dataSourcePanel, &DataSourcePanel::mainPhotoBound, this, [this](bool bound) {
        main_photo_ds_batch = bound;
        markDesignChanged();
    });
    connect(textPanel, &TextPanel::bindingEnded, this, [this] { dataSourcePanel->showGraphic(m_inspected); });
    connect(dataSourcePanel, &DataSourcePanel::boundValueShown, this, [this] { showInspectedObject(); });
    connect(dataSourcePanel, &DataSourcePanel::helpRequested, this, [this] { Data_Source_Help_Button(); });
    connect(dataSourcePanel, &DataSourcePanel::viewRequested, this, [this] { View_batch_Series_Button(); });
    connect(barcodePanel, &BarcodePanel::designerRequested, this, [this] { Open_Barcode_Window(m_inspected.get()); });
}

// ---------------------------------------------------------------- showing

void TVNWindowController::Show_RHS_Properties(TVNGraphic *graphic)
{
    // Only graphics of the design are shown; anything else shows the card.
    m_inspected = graphic ? findGraphic(document->graphics, graphic) : nullptr;
    if (graphic && !m_inspected)
        m_inspected = findGraphic(document->graphics_back, graphic);
    updateUndoActions();

    const bool previous = Not_Draw_Only_Prop_Change;
    Not_Draw_Only_Prop_Change = true;
    showInspectedObject();
    if (!m_inspected)
        cardPanel->showCard(cardSettings());
    dataSourcePanel->showGraphic(m_inspected);
    Not_Draw_Only_Prop_Change = previous;
}

void TVNWindowController::showInspectedObject()
{
    // Each object page takes the graphic when it is of its kind.
    QWidget *page = cardPanel;
    for (ObjectPanel *panel : objectPanels()) {
        if (panel->showGraphic(m_inspected))
            page = panel;
    }
    inspector_pages->setCurrentWidget(page);
    inspector_title->setText(page->windowTitle());
}

std::array<ObjectPanel *, 3> TVNWindowController::objectPanels() const
{
    return {textPanel, imagePanel, barcodePanel};
}

void TVNWindowController::Set_Card_Size_In_Control(QSizeF mm)
{
    applyCardSize(mm);
}

// ---------------------------------------------------------------- card

Card_Property &TVNWindowController::editedCard()
{
    return design_window::Card_Front_Or_Back == 1 ? Back_card_Prop : Front_card_Prop;
}

CardSettings TVNWindowController::cardSettings() const
{
    const Card_Property &card = design_window::Card_Front_Or_Back == 1 ? Back_card_Prop : Front_card_Prop;
    return {card_choice,
            cardSizeMm(),
            design_window::Card_Shape,
            CARD_SIDE_STR == QLatin1String("2"),
            card.Card_Fill,
            card.Card_Fill_Color,
            card.BG_Image_Path};
}

void TVNWindowController::setEditedSideBackground(const QString &path)
{
    editCard(tr("Card Background"), [&] {
        Card_Property &card = editedCard();
        if (path.isEmpty()) {
            card.BG_Image_Path.clear();
            card.BG_Image = {};
            cardPanel->showCard(cardSettings());
        } else if (&card == &Back_card_Prop) {
            card.Card_Fill = true;
            card.BG_Image_Path = path;
            card.BG_Image = platform::Image::fromFile(path);
            Show_RHS_Properties(nullptr);
        } else {
            set_Front_BG_Image(path);
        }
    });
}

// Everything a card change may touch. The objects' bounds are part of it:
// a smaller card or another outline brings objects back onto the card.
struct TVNWindowController::CardState {
    Card_Property front, back;
    int shape = 0;
    QString sides;
    CardChoice choice;
    GraphicList graphics;
    QList<QRectF> bounds;
    // The front background picture's object shows the background's file.
    GraphicPtr background;
    GraphicPtr backgroundBefore;
};

TVNWindowController::CardState TVNWindowController::cardState() const
{
    CardState state{Front_card_Prop, Back_card_Prop, design_window::Card_Shape, CARD_SIDE_STR, card_choice, {}, {},
                    {}, {}};
    for (const GraphicList *list : {&document->graphics, &document->graphics_back}) {
        for (const GraphicPtr &g : *list) {
            state.graphics.push_back(g);
            state.bounds.append(g->bounds());
        }
    }
    state.background = _graphicView->Selcect_Ctrl_With_ID(QStringLiteral("PARTY_IMAGE_BG"));
    if (state.background)
        state.backgroundBefore = state.background->clone();
    return state;
}

void TVNWindowController::restoreCardState(const CardState &state)
{
    Front_card_Prop = state.front;
    Back_card_Prop = state.back;
    design_window::Card_Shape = state.shape;
    CARD_SIDE_STR = state.sides;
    card_choice = state.choice;
    setCardSize(state.front.Card_Size);
    for (std::size_t i = 0; i < state.graphics.size(); ++i)
        state.graphics[i]->setBounds(state.bounds[qsizetype(i)]);
    if (state.background)
        state.background->assignState(*state.backgroundBefore);
    updateSideControls();
    Show_RHS_Properties(m_inspected.get());
    emit document->graphicsChanged();
}

namespace {

bool sameCard(const Card_Property &a, const Card_Property &b)
{
    return a.Card_Size == b.Card_Size && a.Card_Fill == b.Card_Fill && a.Card_Fill_Color == b.Card_Fill_Color
        && a.BG_Image_Path == b.BG_Image_Path;
}

} // namespace

void TVNWindowController::chooseCard(const CardChoice &choice, QSizeF mm, int shape)
{
    editCard(tr("Card Size"), [&] {
        card_choice = choice;
        design_window::Card_Shape = shape;
        applyCardSize(mm);
        keepObjectsOnCard();
    });
    Show_RHS_Properties(nullptr);
}

void TVNWindowController::chooseCardSides(bool twoSided)
{
    editCard(tr("Card Sides"), [&] { CARD_SIDE_STR = twoSided ? QStringLiteral("2") : QStringLiteral("1"); });
}

void TVNWindowController::editCard(const QString &actionName, const std::function<void()> &change)
{
    const CardState before = cardState();
    // What the change marks as changed is recorded below as one step.
    ++m_recordedCardEdits;
    change();
    --m_recordedCardEdits;
    const CardState after = cardState();
    if (sameCard(before.front, after.front) && sameCard(before.back, after.back) && before.shape == after.shape
        && before.sides == after.sides && before.choice == after.choice && before.bounds == after.bounds
        && before.graphics == after.graphics)
        return;
    const bool recorded = document->isUndoRegistrationEnabled();
    document->registerChange(
        actionName, [this, before] { restoreCardState(before); }, [this, after] { restoreCardState(after); });
    updateSideControls();
    Refresh_Canvas();
    if (recorded)
        ++m_recordedCardEdits;
    markDesignChanged();
    if (recorded)
        --m_recordedCardEdits;
}

// ---------------------------------------------------------------- grid

void TVNWindowController::Grid_Clr_Changed()
{
    cardPanel->Grid_Clr_Changed();
}

void TVNWindowController::Grid_Slider_Changed()
{
    cardPanel->Grid_Slider_Changed();
}

void TVNWindowController::Grid_Show_Hide_Changed()
{
    cardPanel->Grid_Show_Hide_Changed();
}

// ---------------------------------------------------------------- data source

void TVNWindowController::Data_Source_Type_Changed()
{
    dataSourcePanel->Data_Source_Type_Changed();
}

void TVNWindowController::Batch_Series_Changed()
{
    dataSourcePanel->Batch_Series_Changed();
}

void TVNWindowController::Data_Source_Help_Button()
{
    Cutom_Msg_Title = QStringLiteral("Batch Processing Settings Help :");
    Cutom_Msg_Val = QStringLiteral(
        "Select Data Source as 'Manual' to enter value manually, Select 'Batch Processing Series' to fetch the "
        "value from the list of existing Batch Processing Series.");
    Long_SMS_Dlg &dialog = Long_SMS_Dlg::defaultInstance();
    dialog.title_val.clear();
    dialog.apply_chk_show = false;
    dialog.Open_Long_sms_Dialog();
}
