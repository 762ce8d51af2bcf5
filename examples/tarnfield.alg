            20  Number of parameters
 1.1000000E+02   5.0000000E+00  ~~  Value, step then link for mean of L-infinity (at max of annual cycle) [0]
 6.0000000E+00   1.0000000E+00  ~~  Value, step then link for SD of L-infinity [0]
 3.0000000E-01   3.0000000E-02  ~~  Value, step then link for mean of k (at max of annual cycle) [0]
 5.0000000E-02   1.0000000E-02  ~~  Value, step then link for SD of k [0]
 0.0000000E+00   0.0000000E+00  ~~  Value, step then link for amplitude of annual cycle in k [0]
 0.0000000E+00   0.0000000E+00  ~~  Value, step then link for day of maximum in annual cycle of k [0]
 0.0000000E+00   0.0000000E+00  ~~  Value, step then link for amplitude of annual cycle in L [0]
 0.0000000E+00   0.0000000E+00  ~~  Value, step then link for day of maximum in annual cycle of L [0]
 3.0000000E+00   0.0000000E+00  ~~  Value, step then link for SE of measurement @ 100 units (%SE) [0]
 5.0000000E-01   0.0000000E+00  ~~  Value, step then link for instantaneous natural mortality [0; 1 if estimating k/Z or b/Z]
 0.0000000E+00   0.0000000E+00  ~~  Value, step then link for size-dependent mortality coefficient [0]
 7.0000000E+01   0.0000000E+00  ~~  Value, step then link for lower size limit (units) for fishing [0]
 2.5000000E+02   0.0000000E+00  ~~  Value, step then link for upper size limit (units) for fishing [0]
 2.0000000E-01   5.0000000E-02  ~~  Value, step then link for instantaneous fishing mortality [0]
 4.0000000E+01   4.0000000E+00  ~~  Value, step then link for mean of Gaussian selectivity for SF data [0]
 1.0000000E+01   1.0000000E+00  ~~  Value, step then link for SD of Gaussian selectivity for SF data [0]
 0.0000000E+00   0.0000000E+00  ~~  Value, step then link for Parameter b for size-dependent k [0]
-9.9900000E+02   0.0000000E+00  ~~  Value, step then link for t0 (estimated only if analyzing size-at-age (years) data as increments) [-999]
-9.9900000E+02   0.0000000E+00  ~~  Value, step then link for mean of Gaussian selectivity for size-at-age data only [-999]
-9.9900000E+02   0.0000000E+00  ~~  Value, step then link for SD of Gaussian selectivity for size-at-age data only [-999]
 1.0000000E-04  Simplex limit (+ for ABS, - for REL)
          5000  Maximum # of function calls (simplex) or iterations (Marquardt)
            10  Terminal output frequency
             0  File output frequency
  minimize.ovl  Name of output file
 1.0000000E-01  Step size reduction fraction
