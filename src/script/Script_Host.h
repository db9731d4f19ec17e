// What the script engine and the world ask of the program around them, in
// one interface: names for error headings, the error window and message
// boxes, resource names that code may use, the room's instances for loops
// over objects, extension functions, the function families that live outside
// the engine, and the moments the runner wants to hear about.
//
// Every method has a working default, so the engine runs on its own (tests,
// tools) and reports sensibly before the world and the dialogs exist: names
// read "<undefined>", the error window writes to standard error, there are no
// instances and no extensions. The world's host fills in the instances and
// the world's names; the runner's host adds the rest.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tavrin {

class CInstanceBase;
struct RValue;

class CHost {
 public:
  virtual ~CHost() = default;

  // --- names in error headings ---
  virtual std::string ObjectName(int32_t index);    // "<undefined>" when missing
  virtual std::string TimeLineName(int32_t index);  // "<undefined>" when missing
  virtual std::string TriggerName(int32_t index);   // "<Deleted>" when missing
  virtual std::string KeyName(int32_t key);
  virtual std::string MouseEventName(int32_t number);

  // --- reporting ---
  // Shows the error window; true when the game is to be aborted. A host that
  // really shows a window clears the input after it (ClearInput), so that the
  // key that closed it is not seen by the game; text written to a terminal
  // leaves the keys the player holds alone.
  virtual bool ShowErrorWindow(std::string_view message, bool canIgnore);
  // A plain message box (internal errors, invalid constants).
  virtual void MessageBox(std::string_view text);
  // Forgets keys and buttons held when a window took the focus.
  virtual void ClearInput() {}
  // Asks the main loop to end the game after the step (a fatal error, or the
  // player chose to abort).
  virtual void RequestAbort() {}
  // Every text given to show_debug_message (the debug window listens).
  virtual void DebugMessage(std::string_view) {}

  // --- names code may use ---
  // Objects, sprites, sounds, backgrounds, paths, fonts and time lines, in
  // that order (scripts come next, looked up by the engine), then rooms and
  // triggers' constant names. True and the index when `name` is such a name.
  virtual bool ResourceBeforeScripts(std::string_view, double&) { return false; }
  virtual bool RoomName(std::string_view, double&) { return false; }
  virtual bool TriggerConstant(std::string_view, double&) { return false; }

  // --- the room's instances, for loops over all or over an object ---
  // Counts are taken once by loops; positions beyond the current end give none.
  virtual int32_t InstanceCount() { return 0; }
  virtual CInstanceBase* InstanceAt(int32_t) { return nullptr; }
  // The instances of object `obj` and of its descendants.
  virtual int32_t ObjectInstanceCount(int32_t) { return 0; }
  virtual CInstanceBase* ObjectInstanceAt(int32_t, int32_t) { return nullptr; }

  // --- extension functions ---
  virtual int32_t ExtensionFind(std::string_view) { return -1; }  // index or -1
  virtual int32_t ExtensionArgCount(int32_t) { return -100; }
  // Calls extension function `index`; false when it failed (error recorded).
  virtual bool ExtensionCall(int32_t, CInstanceBase*, CInstanceBase*, int32_t, RValue&, RValue*) { return false; }

  // --- the program ---
  // Fills in the routines of the function families that live outside the
  // engine, so code run without a game package sees them too.
  virtual void RegisterFunctionFamilies() {}
  // The function id of an action's function, by name, as objects load; -1
  // when there is none (tools keep the names only).
  virtual int32_t ResolveActionFunction(const std::string&) { return -1; }
  // The room is about to end for another (its room-end events come next).
  virtual void RoomLeaving() {}
  // A room has been entered and its events have run: draw its first frame.
  virtual void RoomEntered(bool /*first*/) {}
};

// The host in use: the one installed last, else the defaults.
CHost& Host();
// Installs `host`, which the caller keeps alive while it is installed;
// nullptr puts the defaults back.
void Host_Install(CHost* host);

}  // namespace tavrin
