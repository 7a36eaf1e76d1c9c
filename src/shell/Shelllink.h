#pragma once
// Shell integration: shortcut files and special folders.

class TShellLink {};
