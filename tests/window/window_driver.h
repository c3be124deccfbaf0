#pragma once

#include <fx.h>

#include <string>
#include <vector>

class RefValues;

// Answers the modal dialogs of "Output to file" from a timeout, the way a user would: the save
// dialog is accepted with a file name (or cancelled), a message box is read and closed.
class DialogAnswerer : public FXObject {
  FXDECLARE(DialogAnswerer)

 public:
  enum { ID_ANSWER = 1 };

  DialogAnswerer() {}
  DialogAnswerer(const DialogAnswerer&) = delete;
  DialogAnswerer& operator=(const DialogAnswerer&) = delete;

  long onTimeout(FXObject*, FXSelector, void*);

  // File name to accept the save dialog with; empty cancels it.
  std::string fileName;
  // Title and texts of the message boxes closed so far.
  std::vector<std::string> messages;
  // Where each of those boxes was on the screen, and the screen's size.
  struct Place {
    FXint x, y, width, height, screenWidth, screenHeight;
  };
  std::vector<Place> places;
  // Whether a save dialog was seen.
  bool sawFileDialog = false;

 private:
  int polls = 0;
};

// The calculator window, created and shown in this process and driven through toolkit messages.
class WindowDriver {
 public:
  explicit WindowDriver(FXApp* a);
  WindowDriver(const WindowDriver&) = delete;
  WindowDriver& operator=(const WindowDriver&) = delete;
  ~WindowDriver();

  RefValues* window() const { return main; }

  // Every label text of the window, in the order of the widget tree.
  std::vector<std::string> labelTexts() const;
  // The six input fields then the eleven output fields, as laid out top to bottom.
  const std::vector<FXTextField*>& fields() const { return textFields; }
  FXTextField* input(std::size_t row) const { return textFields.at(row); }
  FXTextField* output(std::size_t row) const { return textFields.at(6 + row); }
  FXButton* button(const std::string& text) const;

  // Replaces a field's text by typing through its character filter, then presses Enter.
  void type(FXTextField* field, const std::string& text);
  // Presses and releases a button with the mouse.
  void press(FXButton* pushed);
  // Lets the toolkit process pending events and redisplay every bound field.
  void refresh();
  // Presses "Output to file" and answers the dialog with a file name (empty cancels).
  // Returns the texts of the message boxes that were shown and closed.
  std::vector<std::string> saveAs(const std::string& name);
  // Whether the last saveAs() saw the save dialog open.
  bool saveDialogOpened() const { return answerer.sawFileDialog; }
  // Where the message boxes of the last saveAs() were shown.
  const std::vector<DialogAnswerer::Place>& boxPlaces() const { return answerer.places; }
  // The displayed texts of all fields.
  std::vector<std::string> fieldTexts() const;
  // How far a field's text is scrolled to the left, in pixels: 0 when its first character shows.
  static FXint scrolledBy(FXTextField* field);

 private:
  FXApp* application;
  RefValues* main;
  std::vector<FXTextField*> textFields;
  DialogAnswerer answerer;
};
