#pragma once
// A blocking message to the user: a task-modal message box on Windows, a dialog
// under SDL, one line on stderr under the virtual backend.
void message_box(const char* caption, const char* text);
// Yes/no question; true for yes. The virtual backend answers yes.
bool message_box_yes_no(const char* caption, const char* text);
