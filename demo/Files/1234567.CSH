1        1111      Demo Cashier                  1
2        2222      Head Cashier                  3
3        3333      Evening Cashier               2
