#pragma once

namespace xhook {

// Shows the busy cursor over the application for the guard's lifetime: while a command or a
// database operation of the window runs. A dialog or message box that opens meanwhile (the
// finder's lookup, an error, "钩稽成功!") waits for the user, so while one is shown the cursor is
// the ordinary arrow; it turns busy again when the box closes. Guards nest. Without a
// QGuiApplication the guard does nothing.
class BusyCursor {
  public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

  private:
    bool active_ = false;
};

}  // namespace xhook
