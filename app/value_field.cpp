#include "value_field.h"

// clang-format off
FXDEFMAP(ValueField) ValueFieldMap[] = {
  //________Message_Type_____ID__________________________Message_Handler_____
  FXMAPFUNC(SEL_COMMAND,     FXWindow::ID_SETVALUE,       ValueField::onCmdSetAnyValue),
  FXMAPFUNC(SEL_COMMAND,     FXWindow::ID_SETINTVALUE,    ValueField::onCmdSetAnyValue),
  FXMAPFUNC(SEL_COMMAND,     FXWindow::ID_SETREALVALUE,   ValueField::onCmdSetAnyValue),
  FXMAPFUNC(SEL_COMMAND,     FXWindow::ID_SETSTRINGVALUE, ValueField::onCmdSetAnyValue),
};
// clang-format on

FXIMPLEMENT(ValueField, FXTextField, ValueFieldMap, ARRAYNUMBER(ValueFieldMap))

ValueField::ValueField(FXComposite* p, FXint cols, FXObject* tgt, FXSelector sel, FXuint opts, FXint x, FXint y,
                       FXint w, FXint h, FXint pl, FXint pr, FXint pt, FXint pb)
    : FXTextField(p, cols, tgt, sel, opts, x, y, w, h, pl, pr, pt, pb) {}

long ValueField::onCmdSetAnyValue(FXObject* sender, FXSelector sel, void* ptr) {
  // The toolkit's own field sets the text (its message map, not ours, answers here).
  FXTextField::handle(sender, sel, ptr);
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
