#pragma once
// The viewer's window: a button bar over the flowchart component, which
// shows a chart file and lets the mouse edit it (nothing is saved).

#include "platform/core/AnsiString.h"
#include "platform/gui/Form.h"

class TButton;
class TLabel;
class TPanel;
namespace quorgrafica {
class TQuorFlowChart;
}

class TChartViewer : public TForm {
public:
    explicit TChartViewer(TComponent* owner = nullptr);

    // Reads the chart into the component; on failure the message names the file.
    bool OpenChart(const AnsiString& fileName, AnsiString* error);
    // The graph on show, as the component draws it at its size on screen,
    // without the selection frame. The name must end in .png.
    bool ExportPng(const AnsiString& fileName, AnsiString* error);
    // Sizes the window so that every box of the graph on show is in view.
    void FitChart();

    quorgrafica::TQuorFlowChart* Chart() const { return chart_; }
    const AnsiString& FileName() const { return fileName_; }

private:
    void ExportClick();

    TPanel* bar_;
    TButton* export_;
    TLabel* status_;
    quorgrafica::TQuorFlowChart* chart_;
    AnsiString fileName_;
};
