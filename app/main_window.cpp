#include "app/main_window.h"

#include "app/control_ids.h"
#include "app/texts.h"
#include "classify/classify.h"

namespace pebitness {
namespace {

using namespace control_style;

constexpr WindowDescription MainWindowDescription = {
    MainWindowId, /*tag*/ "", WindowTitle, /*width*/ 532, /*height*/ 410, AppIconResource};

// Created in this order, which is also the tab order: 编辑框1, 编辑框2, 按钮1.
constexpr ControlDescription MainWindowControls[] = {
    // id        kind                left top  width height  text
    {Edit1Id,  ControlKind::Edit,     8,  56,  512,  312, "",
     EditLeft | EditMultiLine | EditAutoVScroll | EditWantReturn | EditReadOnly | TabStop,
     StaticEdge},
    {Label1Id, ControlKind::Label,   16,   8,   64,   24, PathLabelText,
     LabelLeftNoWrap | LabelCentreVertically, 0},
    {Edit2Id,  ControlKind::Edit,    96,   8,  352,   32, "",
     EditLeft | EditAutoHScroll | TabStop, StaticEdge},
    {Button1Id, ControlKind::Button, 456,  8,   64,   32, AnalyseButtonText,
     ButtonPush | ButtonCentre | ButtonCentreVertically | ButtonMultiLine | TabStop, 0},
};

}  // namespace

MainWindow::MainWindow() noexcept : window_(MainWindowDescription, MainWindowControls, *this) {}

void MainWindow::OnClick(int controlId) {
    if (controlId == Button1Id) HandleAnalyseClick();
}

void MainWindow::HandleWindowCreated() { window_.AppendToEdit(Edit1Id, InstructionText); }

void MainWindow::HandleAnalyseClick() {
    // Whether the user confirmed is not looked at: a cancel analyses the remembered file again.
    dialog_.Show(window_);
    window_.SetControlText(Edit2Id, dialog_.FileName());
    // What is analysed and logged is what the path box holds, read back from it.
    TextView verdict;
    {
        const Text path = window_.ControlText(Edit2Id);
        verdict = ClassifyFileBitness(path);
    }
    const Text line = JoinTexts({verdict, ResultSeparator, window_.ControlText(Edit2Id), LineEnd});
    window_.AppendToEdit(Edit1Id, line);
}

}  // namespace pebitness
