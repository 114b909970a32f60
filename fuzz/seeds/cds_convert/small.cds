Windows Commander catalogue
f	10	1.2.2003	4:05	
dir\
dir\sub\
g	20	2.2.2003	5:06
other\
