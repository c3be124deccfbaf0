#pragma once

#include <fx.h>

// A text field for one bound value that shows the start of its text (sign and leading digits) when
// a value is set into it from outside, e.g. by its data target's GUI update after a computation.
// The toolkit's own field leaves the cursor at the end of a new text, scrolling a text wider than
// the field to its last characters. While the field has the focus the user is typing in it, and it
// is left as the toolkit has it.
class ValueField : public FXTextField {
  FXDECLARE(ValueField)

 public:
  ValueField(FXComposite* p, FXint cols, FXObject* tgt, FXSelector sel, FXuint opts, FXint x, FXint y, FXint w, FXint h,
             FXint pl, FXint pr, FXint pt, FXint pb);
  ValueField(const ValueField&) = delete;
  ValueField& operator=(const ValueField&) = delete;

  // Any of the set-value messages: sets the text as the toolkit's field does, then shows its start.
  long onCmdSetAnyValue(FXObject* sender, FXSelector sel, void* ptr);

 protected:
  // For the toolkit's object factory.
  ValueField() {}

 private:
  // Puts the cursor at the start and scrolls it into view, unless the user is typing here or has
  // selected text in the field.
  void showStart();
};
