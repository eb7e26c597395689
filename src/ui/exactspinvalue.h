#ifndef KARVENO_UI_EXACTSPINVALUE_H
#define KARVENO_UI_EXACTSPINVALUE_H

// Spin boxes show a fixed number of decimals, fewer than the design holds (a lattice vector of
// 0.866025, an origin read from a file). A box that the user leaves alone must give back the value
// it was given, not its rounded display, or merely opening and accepting a dialog would change
// the design.

class QDoubleSpinBox;

// Shows value in box and remembers it at full precision.
void setExactValue(QDoubleSpinBox *box, double value);

// The value remembered by setExactValue while the box still shows it; otherwise what the user
// entered.
double exactValue(const QDoubleSpinBox *box);

#endif // KARVENO_UI_EXACTSPINVALUE_H
