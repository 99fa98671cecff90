#pragma once
// MulDiv alone, for the layers that scale by it without taking in the rest
// of the kernel's declarations.

// number * numerator / denominator with a 64-bit product, halves rounded
// away from zero; -1 when denominator is 0 or the result does not fit.
int MulDiv(int number, int numerator, int denominator);
