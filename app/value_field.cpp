#include "value_field.h"

// clang-format off
FXDEFMAP(ValueField) ValueFieldMap[] = {
  //________Message_Type_____ID__________________________Message_Handler_____
  FXMAPFUNC(SEL_COMMAND,     FXWindow::ID_SETVALUE,       ValueField::onCmdSetValue),
  FXMAPFUNC(SEL_COMMAND,     FXWindow::ID_SETINTVALUE,    ValueField::onCmdSetIntValue),
  FXMAPFUNC(SEL_COMMAND,     FXWindow::ID_SETREALVALUE,   ValueField::onCmdSetRealValue),
  FXMAPFUNC(SEL_COMMAND,     FXWindow::ID_SETSTRINGVALUE, ValueField::onCmdSetStringValue),
};
// clang-format on

FXIMPLEMENT(ValueField, FXTextField, ValueFieldMap, ARRAYNUMBER(ValueFieldMap))

ValueField::ValueField(FXComposite* p, FXint cols, FXObject* tgt, FXSelector sel, FXuint opts, FXint x, FXint y,
                       FXint w, FXint h, FXint pl, FXint pr, FXint pt, FXint pb)
    : FXTextField(p, cols, tgt, sel, opts, x, y, w, h, pl, pr, pt, pb) {}

long ValueField::onCmdSetValue(FXObject* sender, FXSelector sel, void* ptr) {
  FXTextField::onCmdSetValue(sender, sel, ptr);
  showStart();
  return 1;
}

long ValueField::onCmdSetIntValue(FXObject* sender, FXSelector sel, void* ptr) {
  FXTextField::onCmdSetIntValue(sender, sel, ptr);
  showStart();
  return 1;
}

long ValueField::onCmdSetRealValue(FXObject* sender, FXSelector sel, void* ptr) {
  FXTextField::onCmdSetRealValue(sender, sel, ptr);
  showStart();
  return 1;
}

long ValueField::onCmdSetStringValue(FXObject* sender, FXSelector sel, void* ptr) {
  FXTextField::onCmdSetStringValue(sender, sel, ptr);
  showStart();
  return 1;
}

// The GUI update sets the value on every idle pass, also when the text stays the same: a field the
// user typed in and then left is brought back to its start on the next pass, e.g. after "Compute".
// A selection the user made (and may still paste elsewhere) is kept until the value changes.
void ValueField::showStart() {
  if (hasFocus() || hasSelection()) {
    return;
  }
  setAnchorPos(0);
  setCursorPos(0);
  makePositionVisible(0);
}
