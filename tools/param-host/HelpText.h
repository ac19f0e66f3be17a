#pragma once
// The text of --help: every option with what it means, and examples.

const char* HelpText();
