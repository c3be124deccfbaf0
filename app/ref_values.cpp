#include "ref_values.h"

#include <algorithm>
#include <string>
#include <system_error>

#include "path_lines.h"
#include "report.h"
#include "value_field.h"

// clang-format off
FXDEFMAP(RefValues) RefValuesMap[] = {
  //________Message_Type_____ID_______________________Message_Handler_____
  FXMAPFUNC(SEL_COMMAND,     RefValues::ID_COMPUTE,   RefValues::onCmdCompute),
  FXMAPFUNC(SEL_COMMAND,     RefValues::ID_OUTPUT,    RefValues::onCmdOutput),
};
// clang-format on

FXIMPLEMENT(RefValues, FXMainWindow, RefValuesMap, ARRAYNUMBER(RefValuesMap))

namespace {

constexpr FXuint nameOptions = JUSTIFY_RIGHT | LAYOUT_RIGHT | LAYOUT_CENTER_Y | LAYOUT_FILL_ROW;
constexpr FXuint inputOptions = TEXTFIELD_REAL | TEXTFIELD_NORMAL | LAYOUT_CENTER_Y | LAYOUT_CENTER_X | LAYOUT_FILL_ROW;
constexpr FXuint outputOptions = TEXTFIELD_REAL | TEXTFIELD_NORMAL | LAYOUT_CENTER_Y | LAYOUT_FILL_ROW;
constexpr FXuint unitOptions = JUSTIFY_RIGHT | LAYOUT_CENTER_Y | LAYOUT_FILL_ROW;
constexpr FXuint fillerOptions = LAYOUT_FILL_COLUMN | LAYOUT_FILL_ROW;
constexpr FXuint buttonOptions = FRAME_RAISED | FRAME_THICK | LAYOUT_FILL_X | LAYOUT_CENTER_X;
constexpr FXuint gridOptions = MATRIX_BY_COLUMNS | LAYOUT_FILL;
constexpr FXint inputColumns = 10;
constexpr FXint outputColumns = 12;

constexpr char writeErrorTitle[] = "Report not written";
// Room kept between the error box and the screen's edges: the toolkit places a box at least 10 px
// from each edge, and a window manager adds a frame and, above, a title bar.
constexpr FXint boxMarginX = 40;
constexpr FXint boxMarginY = 80;
// The toolkit's error icon (32 px wide in FOX 1.6) is built inside FXMessageBox::error, out of reach
// for measuring: this much width is kept for it.
constexpr FXint errorIconAllowance = 64;

// The error box's text for a path as it is to be shown.
std::string writeErrorText(const std::string& shownPath, const std::string& reason) {
  return "The report could not be written to\n" + shownPath + "\n\n" + reason + ".";
}

// A vertical frame without padding and with spacing 4.
FXVerticalFrame* newColumn(FXComposite* parent, FXuint options) {
  return new FXVerticalFrame(parent, options, 0, 0, 0, 0, 0, 0, 0, 0, 4, 4);
}

}  // namespace

RefValues::RefValues(FXApp* a)
    : FXMainWindow(a, "Clift vs Load factor", nullptr, nullptr, DECOR_ALL, 0, 0, 450, 350, 0, 0, 0, 0, 0, 0) {
  machTarget.connect(values.mach);
  altitudeTarget.connect(values.altitude);
  weightTarget.connect(values.weight);
  refLengthTarget.connect(values.refLength);
  refAreaTarget.connect(values.refArea);
  loadFactorTarget.connect(values.loadFactor);
  liftCoefficientTarget.connect(values.liftCoefficient);
  temperatureTarget.connect(values.temperature);
  reynoldsTarget.connect(values.reynolds);
  soundSpeedTarget.connect(values.soundSpeed);
  velocityTarget.connect(values.velocity);
  kinematicViscosityTarget.connect(values.kinematicViscosity);
  viscosityTarget.connect(values.viscosity);
  densityTarget.connect(values.density);
  pressureTarget.connect(values.pressure);
  dynamicPressureTarget.connect(values.dynamicPressure);
  referenceForceTarget.connect(values.referenceForce);

  // The first display already shows computed outputs.
  values.setDefaults();
  values.computeReferenceValues();

  outerFrame = newColumn(this, LAYOUT_FILL);
  columnFrame = new FXHorizontalFrame(outerFrame, LAYOUT_FILL, 0, 0, 0, 0, 0, 0, 0, 0, 4, 4);

  leftColumn = newColumn(columnFrame, LAYOUT_FILL);
  inputPanel = newColumn(leftColumn, LAYOUT_FILL | FRAME_SUNKEN);
  new FXLabel(inputPanel, "INPUT VALUES", nullptr, LAYOUT_FILL_X, 0, 0, 0, 0, 2, 2, 2, 2);
  new FXHorizontalSeparator(inputPanel);
  inputGrid = new FXMatrix(inputPanel, 3, gridOptions, 0, 0, 0, 0, 4, 4, 4, 4, 4, 4);
  addRow(inputGrid, "Mach=", machTarget, inputColumns, inputOptions, nullptr);
  addRow(inputGrid, "H=", altitudeTarget, inputColumns, inputOptions, "m");
  addRow(inputGrid, "n=", loadFactorTarget, inputColumns, inputOptions, nullptr);
  addRow(inputGrid, "G=", weightTarget, inputColumns, inputOptions, "ton");
  addRow(inputGrid, "L ref=", refLengthTarget, inputColumns, inputOptions, "m");
  addRow(inputGrid, "S ref=", refAreaTarget, inputColumns, inputOptions, "m*m");

  // The 150 by 25 size is only a hint: without fixed-size options each button spans the panel.
  buttonPanel = newColumn(leftColumn, LAYOUT_FILL_X);
  computeButton =
      new FXButton(buttonPanel, "Compute", nullptr, this, ID_COMPUTE, buttonOptions, 0, 0, 150, 25, 2, 2, 2, 2);
  outputButton =
      new FXButton(buttonPanel, "Output to file", nullptr, this, ID_OUTPUT, buttonOptions, 0, 0, 150, 25, 2, 2, 2, 2);

  rightColumn = newColumn(columnFrame, LAYOUT_FILL);
  outputPanel = newColumn(rightColumn, LAYOUT_FILL | FRAME_SUNKEN);
  new FXLabel(outputPanel, "OUTPUT VALUES (SI)", nullptr, LAYOUT_FILL_X, 0, 0, 0, 0, 2, 2, 2, 2);
  new FXHorizontalSeparator(outputPanel);
  outputGrid = new FXMatrix(outputPanel, 3, gridOptions, 0, 0, 0, 0, 4, 4, 4, 4, 4, 4);
  addRow(outputGrid, "C lift=", liftCoefficientTarget, outputColumns, outputOptions, nullptr);
  addRow(outputGrid, "Re number=", reynoldsTarget, outputColumns, outputOptions, nullptr);
  addRow(outputGrid, "U=", velocityTarget, outputColumns, outputOptions, "m/sec");
  addRow(outputGrid, "a=", soundSpeedTarget, outputColumns, outputOptions, "m/sec");
  addRow(outputGrid, "T ref=", temperatureTarget, outputColumns, outputOptions, "grad K");
  addRow(outputGrid, "Mu=", viscosityTarget, outputColumns, outputOptions, "Pa*sec");
  addRow(outputGrid, "Nu=", kinematicViscosityTarget, outputColumns, outputOptions, "(m*m)/sec");
  addRow(outputGrid, "Rho=", densityTarget, outputColumns, outputOptions, "kg/(m*m*m)");
  addRow(outputGrid, "P=", pressureTarget, outputColumns, outputOptions, "Pa(N/(m*m))");
  addRow(outputGrid, "0.5*Rho*U*U=", dynamicPressureTarget, outputColumns, outputOptions, "kg/(m*sec*sec)");
  addRow(outputGrid, "S*0.5*Rho*U*U=", referenceForceTarget, outputColumns, outputOptions, "kg*m/(sec*sec))");
}

void RefValues::addRow(FXMatrix* grid, const char* name, FXDataTarget& bound, FXint columns, FXuint fieldOptions,
                       const char* unit) {
  new FXLabel(grid, name, nullptr, nameOptions, 0, 0, 0, 0, 2, 2, 2, 2);
  new ValueField(grid, columns, &bound, FXDataTarget::ID_VALUE, fieldOptions, 0, 0, 0, 0, 2, 2, 2, 2);
  if (unit != nullptr) {
    new FXLabel(grid, unit, nullptr, unitOptions, 0, 0, 0, 0, 2, 2, 2, 2);
  } else {
    new FXFrame(grid, fillerOptions, 0, 0, 0, 0, 2, 2, 2, 2);
  }
}

RefValues::~RefValues() {}

void RefValues::create() {
  FXMainWindow::create();
  // The window opens at 450 by 350 unless the layout needs more with the fonts at hand (with
  // Debian's default fonts it needs about 530 px of width): no label, field or unit may be cut off.
  resize(std::max(getWidth(), getDefaultWidth()), std::max(getHeight(), getDefaultHeight()));
  show(PLACEMENT_SCREEN);
}

long RefValues::onCmdCompute(FXObject*, FXSelector, void*) {
  values.computeReferenceValues();
  return 1;
}

long RefValues::onCmdOutput(FXObject*, FXSelector, void*) {
  FXFileDialog dialog(this, "Save file", 0, 0, 0, 500, 300);
  dialog.setPatternList("All Files (*)\nRef.Values, output Files (*.out)");
  dialog.setCurrentPattern(0);
  dialog.setDirectory(".");
  if (!dialog.execute(PLACEMENT_CURSOR)) {
    return 1;
  }
  const FXString fileName = dialog.getFilename();
  // The report is of the values as they stand, typed-over outputs included: no recomputation.
  const std::error_code failure = report::writeReport(fileName.text(), values);
  if (failure) {
    showWriteError(fileName.text(), failure.message());
  }
  return 1;
}

void RefValues::showWriteError(const std::string& fileName, const std::string& reason) {
  // The box's label draws in the application's normal font. A box of the same text with a one-line
  // path, laid out but never shown, gives what the box needs besides the path.
  FXFont* font = getApp()->getNormalFont();
  const TextWidth measure = [font](const std::string& text) {
    return font->getTextWidth(text.data(), static_cast<FXuint>(text.size()));
  };
  const std::string oneLine = writeErrorText("/", reason);
  FXMessageBox probe(this, writeErrorTitle, oneLine.c_str(), nullptr, MBOX_OK);
  FXint widestOther = 0;
  for (const std::string& line : {std::string("The report could not be written to"), std::string("/"), reason + "."}) {
    widestOther = std::max(widestOther, measure(line));
  }
  const FXint besidesText = probe.getDefaultWidth() - widestOther + errorIconAllowance;
  const FXint maxWidth = getRoot()->getWidth() - boxMarginX - besidesText;
  const FXint lineHeight = font->getFontHeight();
  const FXint maxLines = 1 + (getRoot()->getHeight() - boxMarginY - probe.getDefaultHeight()) / std::max(1, lineHeight);

  const std::string shown = fitPath(fileName, maxWidth, maxLines, measure);
  FXMessageBox::error(this, MBOX_OK, writeErrorTitle, "%s", writeErrorText(shown, reason).c_str());
}
