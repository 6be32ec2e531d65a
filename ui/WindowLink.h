#pragma once
// The traffic between the two windows, wired in one place for the program
// and for whatever else builds both windows (tests, helpers): the section
// window loads points into the interpretation window's sounding and asks it
// to re-process them; the interpretation window hands over soundings to be
// stored, writes re-interpreted models back, asks for the active profile's
// name, and asks before the program ends whether the database may go.

namespace orma::ui {

class Ttelmorwin;
class TSection;

void connectWindows(Ttelmorwin& telmorwin, TSection& section);

}  // namespace orma::ui
