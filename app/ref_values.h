#pragma once

#include <fx.h>

#include <string>

#include "reference_values.h"

// The calculator's main window: the inputs and outputs of one value set in two grids of bound text
// fields, with "Compute" and "Output to file".
class RefValues : public FXMainWindow {
  FXDECLARE(RefValues)

 public:
  enum {
    ID_COMPUTE = FXMainWindow::ID_LAST + 1,
    ID_OUTPUT,
  };

  explicit RefValues(FXApp* a);
  RefValues(const RefValues&) = delete;
  RefValues& operator=(const RefValues&) = delete;
  virtual ~RefValues();

  virtual void create();

  long onCmdCompute(FXObject* sender, FXSelector sel, void* ptr);
  long onCmdOutput(FXObject* sender, FXSelector sel, void* ptr);

 protected:
  // For the toolkit's object factory: the base window and the data targets only.
  RefValues() {}

 private:
  // Adds one grid row: name label, bound text field, and a unit label or an empty filler.
  void addRow(FXMatrix* grid, const char* name, FXDataTarget& bound, FXint columns, FXuint fieldOptions,
              const char* unit);
  // Tells in an error box, no larger than the screen, that the report could not be written.
  void showWriteError(const std::string& fileName, const std::string& reason);

  FXDataTarget machTarget;
  FXDataTarget altitudeTarget;
  FXDataTarget weightTarget;
  FXDataTarget refLengthTarget;
  FXDataTarget refAreaTarget;
  FXDataTarget loadFactorTarget;
  FXDataTarget liftCoefficientTarget;
  FXDataTarget temperatureTarget;
  FXDataTarget reynoldsTarget;
  FXDataTarget soundSpeedTarget;
  FXDataTarget velocityTarget;
  FXDataTarget kinematicViscosityTarget;
  FXDataTarget viscosityTarget;
  FXDataTarget densityTarget;
  FXDataTarget pressureTarget;
  FXDataTarget dynamicPressureTarget;
  FXDataTarget referenceForceTarget;

  aero::ReferenceValueSet values;

  FXVerticalFrame* outerFrame = nullptr;
  FXHorizontalFrame* columnFrame = nullptr;
  FXVerticalFrame* leftColumn = nullptr;
  FXVerticalFrame* inputPanel = nullptr;
  FXMatrix* inputGrid = nullptr;
  FXVerticalFrame* buttonPanel = nullptr;
  FXButton* computeButton = nullptr;
  FXButton* outputButton = nullptr;
  FXVerticalFrame* rightColumn = nullptr;
  FXVerticalFrame* outputPanel = nullptr;
  FXMatrix* outputGrid = nullptr;
};
